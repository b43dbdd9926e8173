#include "pages/advanced/TFM_FilterMAC.h"

#include "binding/ControlEvents.h"
#include "binding/Controls.h"
#include "binding/DeviceVariables.h"
#include "binding/New_req2Edit.h"
#include "binding/QvStatusBar.h"
#include "pages/advanced/TFM_MACAddr.h"
#include "ui_TFM_FilterMAC.h"
#include "ui_TFM_MACAddr.h"

namespace {

// The filter table of each radio: the row index, then the address (twelve zeros when free).
const VariableDescriptor kMacTable1[] = {
    {VTA_OID(".2.4.2.1.2.1"), "No.", kSyntaxInteger, kAccessNotAccessible},
    {VTA_OID(".2.4.2.1.2.1"), "MAC Address", kSyntaxMacAddress, kAccessReadWrite},
    DeviceVariables::EndOfTable,
};
const VariableDescriptor kMacTable2[] = {
    {VTA_OID(".2.4.2.1.2.2"), "No.", kSyntaxInteger, kAccessNotAccessible},
    {VTA_OID(".2.4.2.1.2.2"), "MAC Address", kSyntaxMacAddress, kAccessReadWrite},
    DeviceVariables::EndOfTable,
};
constexpr int kIndexItem = 0;
constexpr int kMacItem = 1;
constexpr int kMacColumn = 1;
const char* const kFreeRow = "000000000000";
constexpr int kMacLength = 12;

} // namespace

TFM_FilterMAC::TFM_FilterMAC(int radio, QWidget* owner)
    : QvPage(owner), ui(std::make_unique<Ui::TFM_FilterMAC>()), m_radio(radio)
{
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre);
    UseStatusBar(ui->StatusBar, {120});
    SetReportStyle(ui->User_ListView);
    SetReportStyle(ui->LV_StaticPoolSet);
    Handle(ui->Bt_Add, &QPushButton::clicked, [this] { Bt_AddClick(); });
    Handle(ui->Bt_Set, &QPushButton::clicked, [this] { Bt_SetClick(); });
    Handle(ui->User_ListView, &QTreeWidget::itemDoubleClicked, [this] { Bt_SetClick(); });
    Handle(ui->Bt_Del, &QPushButton::clicked, [this] { Bt_DelClick(); });
    Handle(ui->Bt_Rfrsh, &QPushButton::clicked, [this] { Bt_RfrshClick(); });
    ListViewEvents::Of(ui->User_ListView).OnSelectItem = [this](QTreeWidget*, QTreeWidgetItem*, bool) {
        Guard([this] { User_ListViewSelectItem(); });
    };
    RunFormCreate([this] { FormCreate(); });
}

TFM_FilterMAC::~TFM_FilterMAC()
{
    // The dialog's controls are bound to the table binding: the bindings go first.
    ReleaseBindings();
}

void TFM_FilterMAC::FormCreate()
{
    auto& table = NewBinding<QvSNMPRequest2Edits>();
    table.request.list.Assign(QvSNMPVarList(m_radio == 2 ? kMacTable2 : kMacTable1, kListTable, 1));
    table.RequestMode = QvSNMPRequest2Controls::kNotifying;
    table.OnGetDone = [this](QvSNMPRequest2Controls&, const QvSNMPError& record) {
        Guard([this, &record] { TableGetDone(record); });
    };
    table.OnSetDone = [this](QvSNMPRequest2Controls&, const QvSNMPError& record) {
        Guard([this, &record] { TableSetDone(record); });
    };
    table.BindListView(ui->LV_StaticPoolSet, true);
    table.SetStatusSink(ui->StatusBar->Panel(0));
    TableEdits = &table;

    for (QPushButton* button : {ui->Bt_Add, ui->Bt_Set, ui->Bt_Del, ui->Bt_Rfrsh})
        button->setEnabled(false);
    ShowStatus("Listing data ... ");
    table.Get();

    m_entry = std::make_unique<TFM_MACAddr>(this);
    table.BindControl(kIndexItem, m_entry->ui->LA_Index);
    table.BindEdit(kMacItem, m_entry->ui->Ed_MACAddr, "%h");

    auto& display = NewBinding<New_req2Edit>();
    display.request.list.Assign(QvSNMPVarList(m_radio == 2 ? kMacTable2 : kMacTable1, kListTableUnlisted, 1));
    display.RequestMode = QvSNMPRequest2Controls::kNotifying;
    display.EmptyRowValue = kFreeRow;
    display.KeyItem = kMacItem;
    display.BindListView(ui->User_ListView, false);
    display.SetStatusSink(ui->StatusBar->Panel(0));
    display.OnGetDone = [this](QvSNMPRequest2Controls&, const QvSNMPError&) {
        Guard([this] {
            if (m_displayStale)
                ReadDisplayList();
        });
    };
    DisplayEdits = &display;
    display.Get();
}

void TFM_FilterMAC::TableGetDone(const QvSNMPError& record)
{
    ShowStatus(QString::fromStdString(record.message));
    m_busy = false;
    ui->Bt_Rfrsh->setEnabled(true);
    if (record.code != 0)
        return;
    bool freeRow = false;
    for (int i = 0; i < ui->LV_StaticPoolSet->topLevelItemCount() && !freeRow; ++i)
        freeRow = ui->LV_StaticPoolSet->topLevelItem(i)->text(kMacColumn) == kFreeRow;
    ui->Bt_Add->setEnabled(freeRow);
    const bool selected = SelectedDisplayRow() != nullptr;
    ui->Bt_Set->setEnabled(selected);
    ui->Bt_Del->setEnabled(selected);
}

void TFM_FilterMAC::TableSetDone(const QvSNMPError& record)
{
    if (record.code != 0) {
        ShowStatus(QString::fromStdString(record.message));
        return;
    }
    ReadBothLists();
}

void TFM_FilterMAC::ReadBothLists()
{
    for (QPushButton* button : {ui->Bt_Rfrsh, ui->Bt_Add, ui->Bt_Set, ui->Bt_Del})
        button->setEnabled(false);
    m_busy = true;
    ui->LV_StaticPoolSet->clear();
    TableEdits->Get();
    ReadDisplayList();
}

void TFM_FilterMAC::ReadDisplayList()
{
    if (DisplayEdits->Busy) {
        m_displayStale = true;
        return;
    }
    m_displayStale = false;
    ui->User_ListView->clear();
    DisplayEdits->RowNumber = 1;
    DisplayEdits->Get();
}

void TFM_FilterMAC::User_ListViewSelectItem()
{
    const bool enabled = SelectedDisplayRow() != nullptr && !m_busy;
    ui->Bt_Set->setEnabled(enabled);
    ui->Bt_Del->setEnabled(enabled);
}

QTreeWidgetItem* TFM_FilterMAC::SelectedDisplayRow() const
{
    const QList<QTreeWidgetItem*> selected = ui->User_ListView->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

bool TFM_FilterMAC::SelectTableRow(const QString& mac)
{
    QTreeWidget* rows = ui->LV_StaticPoolSet;
    for (int i = 0; i < rows->topLevelItemCount(); ++i) {
        if (rows->topLevelItem(i)->text(kMacColumn) == mac) {
            SelectListRow(rows, rows->topLevelItem(i));
            return true;
        }
    }
    return false;
}

void TFM_FilterMAC::Bt_AddClick()
{
    if (!TableEdits || !SelectTableRow(kFreeRow))
        return;
    m_busy = true;
    m_entry->setWindowTitle("Adding MAC address");
    SetMaxLength(m_entry->ui->Ed_MACAddr, kMacLength);
    // Closed without Apply nothing was sent, so nothing is waited for: the page is free
    // again (and may close) at once.
    if (m_entry->exec() != QDialog::Accepted && !TableEdits->Busy)
        m_busy = false;
}

void TFM_FilterMAC::Bt_SetClick()
{
    QTreeWidgetItem* row = SelectedDisplayRow();
    if (!row || !TableEdits || TableEdits->Busy || !SelectTableRow(row->text(kMacColumn)))
        return;
    m_entry->setWindowTitle("Set MAC Address");
    SetMaxLength(m_entry->ui->Ed_MACAddr, kMacLength);
    m_entry->exec();
}

void TFM_FilterMAC::Bt_DelClick()
{
    QTreeWidgetItem* row = SelectedDisplayRow();
    // Without the row in the full table the write would free some other row.
    if (!row || !TableEdits || TableEdits->Busy || !SelectTableRow(row->text(kMacColumn)))
        return;
    m_busy = true;
    m_entry->ui->Ed_MACAddr->setText(kFreeRow);
    TableEdits->Set(false);
    ShowStatus("Refresh...");
}

void TFM_FilterMAC::Bt_RfrshClick()
{
    if (!TableEdits)
        return;
    if (RefusedWhileBusy(TableEdits->Busy)) {
        ui->Bt_Set->setEnabled(false);
        ui->Bt_Del->setEnabled(false);
        return;
    }
    m_busy = true;
    for (QPushButton* button : {ui->Bt_Set, ui->Bt_Del, ui->Bt_Rfrsh, ui->Bt_Add})
        button->setEnabled(false);
    ShowStatus("Listing data ... ");
    TableEdits->Get();
    ReadDisplayList();
}
