#include "pages/advanced/TFM_MACAddr.h"

#include "binding/QvSNMPRequest2Edits.h"
#include "pages/advanced/TFM_FilterMAC.h"
#include "platform/Dialogs.h"
#include "ui_TFM_FilterMAC.h"
#include "ui_TFM_MACAddr.h"

namespace {

constexpr int kMacLength = 12;
const QString kFreeRow = "000000000000";
// The full table's columns: the row index, then the address.
constexpr int kMacColumn = 1;

} // namespace

bool MacMatches(const QString& typed, const QString& stored)
{
    if (typed == stored)
        return true;
    if (typed.size() > stored.size())
        return false;
    for (qsizetype k = 0; k < typed.size(); ++k) {
        const QChar want = stored[k];
        const bool lowerForUpper = want >= 'A' && want <= 'Z' && typed[k] == want.toLower();
        if (typed[k] != want && !lowerForUpper)
            return false;
    }
    return true;
}

TFM_MACAddr::TFM_MACAddr(TFM_FilterMAC* table) : QvPage(table), ui(std::make_unique<Ui::TFM_MACAddr>()), m_table(table)
{
    ui->setupUi(this);
    SetUpWindow(Placement::OwnerCentre);
    Handle(ui->Bt_Apply, &QPushButton::clicked, [this] { Bt_ApplyClick(); });
}

TFM_MACAddr::~TFM_MACAddr() = default;

void TFM_MACAddr::Bt_ApplyClick()
{
    const QString mac = ui->Ed_MACAddr->text();
    if (mac.size() != kMacLength) {
        Dialogs::message(this, "The length is 12 in MAC Address.", "Error", DialogButtons::Ok, DialogIcon::Error);
        return;
    }
    if (mac == kFreeRow) {
        Dialogs::message(this, "Please input a valid MAC Address.", "Warning", DialogButtons::Ok, DialogIcon::Warning);
        return;
    }
    // The row being edited may keep its own address.
    const int ownRow = ui->LA_Index->text().toInt();
    QTreeWidget* rows = m_table->ui->LV_StaticPoolSet;
    for (int i = 0; i < rows->topLevelItemCount(); ++i) {
        if (i + 1 != ownRow && MacMatches(mac, rows->topLevelItem(i)->text(kMacColumn))) {
            Dialogs::message(this, "Reject: The MAC already exists ", "Warning", DialogButtons::Ok,
                             DialogIcon::Warning);
            return;
        }
    }
    QvSNMPRequest2Edits* table = m_table->TableEdits;
    if (!table || RefusedWhileBusy(table->Busy))
        return;
    table->Set(false);
    m_table->ShowStatus("Refresh...");
    accept();
}
