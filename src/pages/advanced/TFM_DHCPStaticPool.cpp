// The static lease tab of the DHCP page: the full lease table (hidden) bound to the entry
// dialog, the visible list of used rows, and adding, editing and deleting one lease. A change
// never restarts the device; a wait dialog covers the time until the table is read again.
#include "pages/advanced/TFM_DHCP.h"

#include "binding/Controls.h"
#include "binding/DeviceVariables.h"
#include "binding/New_req2Edit.h"
#include "binding/QvStatusBar.h"
#include "pages/advanced/TFM_MACAddr.h"
#include "pages/advanced/TFM_StaticIP.h"
#include "platform/Dialogs.h"
#include "shell/RestartWait.h"
#include "ui_TFM_DHCP.h"
#include "ui_TFM_StaticIP.h"

#include <QScopeGuard>

namespace {

const QString kFreeAddress = "0.0.0.0";
const char* kFreeRowValue = "0.0.0.0";
constexpr int kMacLength = 12;
constexpr int kAddressLength = 15;
constexpr int kDomainLength = 63;
constexpr int kLeaseIp = DeviceVariables::kLeaseIpItem;
constexpr int kLeaseMac = DeviceVariables::kLeaseMacItem;

// Makes the row the selected one, so that its values are in the entry dialog even when it
// was selected already.
void SelectRow(QTreeWidget* table, int row) { SelectListRow(table, table->topLevelItem(row)); }

} // namespace

void TFM_DHCP::CreateStaticPool()
{
    StaticIP = std::make_unique<TFM_StaticIP>(
        TFM_StaticIP::PageFields{ui->LV_StaticPoolSet, ui->Ed_IPAF, ui->Ed_PoolRan, ui->Ed_ext,
                                 [this] { Guard([this] { WriteStaticEntry(); }); }},
        this);
    Ui::TFM_StaticIP& entry = *StaticIP->ui;

    auto& table = NewBinding<QvSNMPRequest2Edits>();
    table.request.list.Assign(QvSNMPVarList(DeviceVariables::DhcpStaticLeases, kListTableUnlisted, 1));
    table.BindListView(ui->LV_StaticPoolSet);
    table.BindControl(DeviceVariables::kLeaseIndexItem, entry.LA_Index);
    QLineEdit* edits[] = {entry.Ed_AsgIP, entry.Ed_AsgMac, entry.Ed_SubMask, entry.Ed_Gatway,
                          entry.Ed_Wins,  entry.Ed_DNS,    entry.Ed_DomNa};
    for (int k = 0; k < 7; ++k)
        table.BindEdit(kLeaseIp + k, edits[k], kLeaseIp + k == kLeaseMac ? "%h" : "%s");
    table.BindComboBox(8, entry.CB_Stat);
    table.OnGetDone = [this](QvSNMPRequest2Controls&, const QvSNMPError& record) { LeaseGetDone(record); };
    table.OnSetDone = [this](QvSNMPRequest2Controls&, const QvSNMPError& record) { LeaseSetDone(record); };
    table.SetStatusSink(ui->StatusBar2->Panel(0));
    LeaseTable = &table;

    SetMaxLength(entry.Ed_DomNa, kDomainLength);
    for (QLineEdit* edit : {entry.Ed_AsgIP, entry.Ed_AsgMac, entry.Ed_SubMask, entry.Ed_Gatway, entry.Ed_Wins,
                            entry.Ed_DNS})
        SetMaxLength(edit, kAddressLength);

    auto& list = NewBinding<New_req2Edit>();
    list.request.list.Assign(QvSNMPVarList(DeviceVariables::DhcpStaticLeases, kListTableUnlisted, 1));
    list.EmptyRowValue = kFreeRowValue;
    list.KeyItem = kLeaseIp;
    list.BindListView(ui->User_ListView, false);
    LeaseList = &list;
}

void TFM_DHCP::SetLeaseListsEnabled(bool enabled)
{
    ui->User_ListView->setEnabled(enabled);
    ui->LV_StaticPoolSet->setEnabled(enabled);
}

void TFM_DHCP::LeaseGetDone(const QvSNMPError& record)
{
    const QString result = QString::fromStdString(record.message);
    ui->StatusBar1->Panel(0)->SetText(result);
    ui->StatusBar2->Panel(0)->SetText(result);
    ui->Bt_Cancel->setEnabled(true);
    m_busy = false;
    if (record.code != 0)
        return;
    SetLeaseListsEnabled(true);
    ui->Bt_Add->setEnabled(true);
    ui->CB_Fuction2->setCurrentIndex(ui->CB_Fuction1->currentIndex());
    ui->Bt_Apply->setEnabled(true);
    ui->StaticApply->setEnabled(true);
    EnableRule();
}

void TFM_DHCP::LeaseSetDone(const QvSNMPError& record)
{
    const QString result = QString::fromStdString(record.message);
    ui->StatusBar1->Panel(0)->SetText(result);
    ui->StatusBar2->Panel(0)->SetText(result);
    if (record.code != 0 && m_leaseSetFailure.isEmpty())
        m_leaseSetFailure = result;
    // A clearing set is followed by its write: the lists are read once both have ended, also
    // after a failure, since a cleared row whose write failed is gone from the device.
    if (!m_refreshAfterSet || LeaseTable->SetPending())
        return;
    if (!m_leaseSetFailure.isEmpty()) {
        const QString failure = m_leaseSetFailure;
        m_leaseSetFailure.clear();
        Dialogs::message(this,
                         "The static pool could not be written: " + failure +
                             " The lists are read again and show what the device holds now.",
                         "Warning", DialogButtons::Ok);
    }
    ui->LV_StaticPoolSet->clear();
    LeaseTable->Get();
    LeaseList->RowNumber = 1;
    LeaseList->EmptyRowValue = kFreeRowValue;
    ui->User_ListView->clear();
    LeaseList->Get();
    m_refreshAfterSet = false;
}

void TFM_DHCP::User_ListViewSelectItem()
{
    if (ui->CB_Fuction1->currentIndex() != 1 && ui->CB_Fuction2->currentIndex() != 1) {
        ui->User_ListView->setEnabled(false);
        return;
    }
    const bool selected = !ui->User_ListView->selectedItems().isEmpty();
    ui->Bt_Set->setEnabled(selected);
    ui->Bt_Del->setEnabled(selected);
}

int TFM_DHCP::RowOfMac(const QString& typed) const
{
    QTreeWidget* table = ui->LV_StaticPoolSet;
    for (int row = 0; row < table->topLevelItemCount(); ++row)
        if (MacMatches(typed, table->topLevelItem(row)->text(kLeaseMac)))
            return row;
    return -1;
}

void TFM_DHCP::SelectTableRowOfListed()
{
    const QList<QTreeWidgetItem*> listed = ui->User_ListView->selectedItems();
    if (listed.isEmpty())
        return;
    const QString ip = listed.front()->text(kLeaseIp);
    QTreeWidget* table = ui->LV_StaticPoolSet;
    for (int row = 0; row < table->topLevelItemCount(); ++row) {
        if (table->topLevelItem(row)->text(kLeaseIp) == ip) {
            SelectRow(table, row);
            return;
        }
    }
}

void TFM_DHCP::EmptyEntry()
{
    Ui::TFM_StaticIP& entry = *StaticIP->ui;
    entry.Ed_AsgIP->setText(kFreeAddress);
    entry.Ed_AsgMac->setText("000000000000");
    for (QLineEdit* edit : {entry.Ed_SubMask, entry.Ed_Gatway, entry.Ed_Wins, entry.Ed_DNS})
        edit->setText(kFreeAddress);
    entry.Ed_DomNa->clear();
    entry.CB_Stat->setCurrentIndex(0);
}

void TFM_DHCP::Bt_AddClick()
{
    if (!LeaseTable || !StaticIP)
        return;
    QTreeWidget* table = ui->LV_StaticPoolSet;
    int freeRow = -1;
    for (int row = 0; row < table->topLevelItemCount() && freeRow < 0; ++row)
        if (table->topLevelItem(row)->text(kLeaseIp) == kFreeAddress)
            freeRow = row;
    if (freeRow < 0) {
        Dialogs::message(this, "The static pool is full!", "Warning", DialogButtons::Ok);
        return;
    }
    SelectRow(table, freeRow);
    Ui::TFM_StaticIP& entry = *StaticIP->ui;
    StaticIP->setWindowTitle("Static IP Pool Adding");
    SetMaxLength(entry.Ed_AsgMac, kMacLength);
    entry.Ed_OldIP->setEnabled(true);
    entry.Ed_AsgIP->setReadOnly(false);
    entry.Ed_AsgMac->setReadOnly(false);
    StaticIP->exec();
}

void TFM_DHCP::Bt_SetClick()
{
    if (!LeaseTable || !StaticIP || LeaseTable->Busy)
        return;
    SelectTableRowOfListed();
    Ui::TFM_StaticIP& entry = *StaticIP->ui;
    StaticIP->setWindowTitle("Static IP Pool Setting");
    SetMaxLength(entry.Ed_AsgMac, kMacLength);
    entry.Ed_OldIP->setText(entry.Ed_AsgIP->text());
    entry.ED_OldMAC->setText(entry.Ed_AsgMac->text());
    StaticIP->SaveEditStart();
    entry.Ed_OldIP->setEnabled(false);
    entry.Ed_AsgIP->setReadOnly(false);
    entry.Ed_AsgMac->setReadOnly(false);
    StaticIP->exec();
}

void TFM_DHCP::Bt_DelClick()
{
    if (!LeaseTable || !StaticIP || LeaseTable->Busy)
        return;
    SelectTableRowOfListed();
    EmptyEntry();
    LeaseTable->Set(false);
    m_refreshAfterSet = true;
    RunRestartWait({.countdown = 20, .sendReboot = false, .secondLine = "Waiting for listing data..."}, this);
}

void TFM_DHCP::WriteStaticEntry()
{
    Ui::TFM_StaticIP& entry = *StaticIP->ui;
    // The client's old entry is cleared first, then the entry is written: into that row when
    // the client had one, else into the row Add or Set selected.
    const int clientRow = RowOfMac(entry.Ed_AsgMac->text());
    // Nothing is cleared when the entry or the server switch could not be written after it.
    Function->RequireValues();
    LeaseTable->RequireValues();
    if (!StaticIP->Adding() || clientRow >= 0) {
        StaticIP->SaveEntry();
        if (clientRow >= 0)
            SelectRow(ui->LV_StaticPoolSet, clientRow);
        EmptyEntry();
        LeaseTable->Set(false);
        StaticIP->RestoreEntry();
    }
    StaticIP->FillEmptyAddresses();
    m_busy = true;
    // However the steps end (one may throw), the page is not left busy: it could never close.
    const auto idle = qScopeGuard([this] { m_busy = false; });
    Write(*Function);
    LeaseTable->Set(false);
    m_refreshAfterSet = true;

    StaticIP->hide();
    RunRestartWait({.countdown = 15, .sendReboot = false, .secondLine = "But the device isn't restarting."}, this);
    StaticIP->done(QDialog::Accepted);
}
