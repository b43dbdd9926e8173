#include "pages/advanced/TFM_StaticIP.h"

#include "binding/WindowAccess.h"
#include "binding/FormScale.h"
#include "binding/Controls.h"
#include "binding/DeviceVariables.h"
#include "pages/advanced/TFM_MACAddr.h"
#include "platform/Dialogs.h"
#include "platform/DottedAddress.h"
#include "platform/ExceptionGuard.h"
#include "shell/Validators.h"
#include "ui_TFM_StaticIP.h"

#include <QTreeWidget>

namespace {

const QString kNoAddress = "0.0.0.0";
constexpr int kMacLength = 12;
const QString kNoMac = "000000000000";

void Tell(QWidget* dialog, const QString& text, const QString& title)
{
    Dialogs::message(dialog, text, title, DialogButtons::Ok);
}

// Not empty, not 0.0.0.0, and not what the check accepts: refused, cleared and focused.
bool OptionalAddressRefused(QWidget* dialog, QLineEdit* edit, bool (*valid)(const std::string&),
                            const QString& message)
{
    const QString text = edit->text();
    if (text.isEmpty() || text == kNoAddress || valid(text.toStdString()))
        return false;
    Tell(dialog, message, "Waring");
    edit->clear();
    edit->setFocus();
    return true;
}

// Addresses are compared as numbers: "010.7.0.10" is the lease 10.7.0.10.
bool SameAddress(const QString& a, const QString& b)
{
    return SameDottedAddress(a.toStdString(), b.toStdString());
}

} // namespace

TFM_StaticIP::TFM_StaticIP(PageFields fields, QWidget* owner)
    : QDialog(owner), ui(std::make_unique<Ui::TFM_StaticIP>()), m_page(std::move(fields))
{
    ui->setupUi(this);
    ScaleFormToFont(this);
    setFixedSize(size());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(ui->Apply, &QPushButton::clicked, this, [this] { RunGuarded([this] { ApplyClick(); }, this); });
    PrepareWindowAccessWhenShown(this);
}

TFM_StaticIP::~TFM_StaticIP() = default;

bool TFM_StaticIP::Adding() const { return ui->Ed_OldIP->isEnabled(); }

void TFM_StaticIP::SaveEditStart()
{
    QLineEdit* edits[5] = {ui->Ed_SubMask, ui->Ed_Gatway, ui->Ed_Wins, ui->Ed_DNS, ui->Ed_DomNa};
    for (int i = 0; i < 5; ++i)
        m_saved[i] = edits[i]->text();
    m_savedStatus = ui->CB_Stat->currentIndex();
}

void TFM_StaticIP::RestoreEditStart()
{
    ui->Ed_AsgIP->setText(ui->Ed_OldIP->text());
    ui->Ed_AsgMac->setText(ui->ED_OldMAC->text());
    QLineEdit* edits[5] = {ui->Ed_SubMask, ui->Ed_Gatway, ui->Ed_Wins, ui->Ed_DNS, ui->Ed_DomNa};
    for (int i = 0; i < 5; ++i)
        edits[i]->setText(m_saved[i]);
    ui->CB_Stat->setCurrentIndex(m_savedStatus);
}

void TFM_StaticIP::SaveEntry()
{
    ui->Ed_AsgIP2->setText(ui->Ed_AsgIP->text());
    ui->Ed_AsgMac2->setText(ui->Ed_AsgMac->text());
    ui->Ed_SubMask2->setText(ui->Ed_SubMask->text());
    ui->Ed_Gatway2->setText(ui->Ed_Gatway->text());
    ui->Ed_Wins2->setText(ui->Ed_Wins->text());
    ui->Ed_DNS2->setText(ui->Ed_DNS->text());
    ui->Ed_DomNa2->setText(ui->Ed_DomNa->text());
    m_entryStatus = ui->CB_Stat->currentIndex();
}

void TFM_StaticIP::RestoreEntry()
{
    ui->Ed_AsgIP->setText(ui->Ed_AsgIP2->text());
    ui->Ed_AsgMac->setText(ui->Ed_AsgMac2->text());
    ui->Ed_SubMask->setText(ui->Ed_SubMask2->text());
    ui->Ed_Gatway->setText(ui->Ed_Gatway2->text());
    ui->Ed_Wins->setText(ui->Ed_Wins2->text());
    ui->Ed_DNS->setText(ui->Ed_DNS2->text());
    ui->Ed_DomNa->setText(ui->Ed_DomNa2->text());
    ui->CB_Stat->setCurrentIndex(m_entryStatus);
}

void TFM_StaticIP::FillEmptyAddresses()
{
    for (QLineEdit* edit : {ui->Ed_SubMask, ui->Ed_Gatway, ui->Ed_Wins, ui->Ed_DNS})
        if (edit->text().isEmpty())
            edit->setText(kNoAddress);
}

void TFM_StaticIP::ApplyClick()
{
    if (!ChecksPass())
        return;
    if (!Adding() && SameAddress(ui->Ed_AsgIP->text(), ui->Ed_OldIP->text()) &&
        !MacMatches(ui->Ed_AsgMac->text(), ui->ED_OldMAC->text())) {
        // Another client for the same address: the entry returns to what is stored.
        RestoreEditStart();
        Tell(this, "Reject: DHCPS static IP already exists in static DHCP server!", "Warning");
        return;
    }
    if (m_page.write)
        m_page.write();
}

bool TFM_StaticIP::ChecksPass()
{
    const QString ip = ui->Ed_AsgIP->text();
    const int ownRow = ui->LA_Index->text().toInt();
    QTreeWidget* table = m_page.table;
    for (int row = 0; table && row < table->topLevelItemCount(); ++row) {
        if (SameAddress(table->topLevelItem(row)->text(DeviceVariables::kLeaseIpItem), ip) && row + 1 != ownRow &&
            !SameAddress(ip, kNoAddress)) {
            Tell(this, "Reject: The IP has already existed. ", "Warning");
            return false;
        }
    }
    if (OptionalAddressRefused(this, ui->Ed_SubMask, IsValidSubnetMask, "Please input valid SubMask.") ||
        OptionalAddressRefused(this, ui->Ed_Gatway, IsValidIpAddress, "Please input valid Gateway.") ||
        OptionalAddressRefused(this, ui->Ed_Wins, IsValidIpAddress, "Please input valid Wins.") ||
        OptionalAddressRefused(this, ui->Ed_DNS, IsValidIpAddress, "Please input valid DNS."))
        return false;
    if (!CheckText(ui->Ed_DomNa->text().toStdString(), false, this)) {
        ui->Ed_DomNa->setFocus();
        return false;
    }
    if (!IsValidIpAddress(ip.toStdString())) {
        Tell(this, "Please input valid IP address", "Waring");
        ui->Ed_AsgIP->clear();
        ui->Ed_AsgIP->setFocus();
        return false;
    }
    if (IsAddressInUse(ip.toStdString(), this)) {
        Tell(this, "Reject: The IP already has been used.", "Warning");
        ui->Ed_AsgIP->setFocus();
        return false;
    }
    const QString mac = ui->Ed_AsgMac->text();
    if (mac.size() < kMacLength || mac == kNoMac) {
        Tell(this, "Please input valid MAC.", "Warning");
        return false;
    }
    const uint32_t start = IPTextToNumber(m_page.poolStart);
    const uint32_t size = IPTextToNumber(m_page.poolRange);
    const uint32_t address = IPTextToNumber(ui->Ed_AsgIP);
    if (start <= address && address < start + size) {
        Tell(this, "Reject: The IP has already existed in IP Dynamic pool.", "Warning");
        return false;
    }
    if (SameAddress(ip, m_page.deviceAddress->text())) {
        Tell(this, "Reject: The IP is the system IP.", "Warning");
        return false;
    }
    return true;
}
