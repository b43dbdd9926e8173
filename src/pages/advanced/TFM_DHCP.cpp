#include "pages/advanced/TFM_DHCP.h"

#include "binding/Controls.h"
#include "binding/DeviceVariables.h"
#include "binding/New_req2Edit.h"
#include "binding/QvStatusBar.h"
#include "pages/advanced/TFM_StaticIP.h"
#include "platform/Conversion.h"
#include "platform/Dialogs.h"
#include "shell/DeviceCapabilities.h"
#include "shell/RestartWait.h"
#include "shell/Validators.h"
#include "snmp/ValueText.h"
#include "ui_TFM_DHCP.h"

namespace {

const OptionRow kFunctionRows[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const OptionRow kMappingCommandRows[] = {{0, "Nothing"}, {1, "Get"}, {0, nullptr}};
const QvOptionList kFunctionOptions(kFunctionRows);
const QvOptionList kMappingCommandOptions(kMappingCommandRows);

// The on/off switch of the whole server; both tabs show it.
const VariableDescriptor kFunction[] = {
    {VTA_OID(".2.7.1"), "Dynamic IP Function", kSyntaxInteger, kAccessReadWrite, &kFunctionOptions},
    DeviceVariables::EndOfTable,
};

// Commands that make the device rebuild its lists of current assignments.
const VariableDescriptor kMappingRefresh[] = {
    {VTA_OID(".2.7.4.3.1"), "DynamicGet", kSyntaxInteger, kAccessReadWrite, &kMappingCommandOptions},
    {VTA_OID(".2.7.4.3.2"), "StaticGet", kSyntaxInteger, kAccessReadWrite, &kMappingCommandOptions},
    DeviceVariables::EndOfTable,
};
constexpr int kGetRow = 1;

const VariableDescriptor kDynamicMappings[] = {
    {VTA_OID(".2.7.4.1.1.1"), "Index", kSyntaxInteger, kAccessNotAccessible},
    {VTA_OID(".2.7.4.1.1.2"), "Current Dynamic MAC", kSyntaxMacAddress, kAccessReadOnly},
    {VTA_OID(".2.7.4.1.1.3"), "Current Dynamic Assigned IP", kSyntaxIpAddress, kAccessReadOnly},
    {VTA_OID(".2.7.4.1.1.4"), "Current Dynamic Lease", kSyntaxInteger, kAccessReadOnly},
    DeviceVariables::EndOfTable,
};

const VariableDescriptor kStaticMappings[] = {
    {VTA_OID(".2.7.4.2.1.1"), "Index", kSyntaxInteger, kAccessNotAccessible},
    {VTA_OID(".2.7.4.2.1.2"), "Current Static MAC", kSyntaxMacAddress, kAccessReadOnly},
    {VTA_OID(".2.7.4.2.1.3"), "Current Static Assigned IP", kSyntaxIpAddress, kAccessReadOnly},
    DeviceVariables::EndOfTable,
};

const VariableDescriptor kDeviceAddress[] = {DeviceVariables::HIpAddress, DeviceVariables::EndOfTable};

// A mapping row whose MAC is twelve zeros is unused.
const char* kNoMac = "000000000000";
const QString kNoAddress = "0.0.0.0";
constexpr int kDisable = 0;
constexpr int kEnable = 1;
constexpr int kStaticTab = 1;
constexpr int kMinLease = 60;
constexpr int kMaxLease = 31536000;

void Tell(QWidget* page, const QString& text, const QString& title)
{
    Dialogs::message(page, text, title, DialogButtons::Ok);
}

bool Inside(uint32_t start, uint32_t size, uint32_t address) { return start <= address && address < start + size; }

} // namespace

TFM_DHCP::TFM_DHCP(QWidget* owner) : QvPage(owner), ui(std::make_unique<Ui::TFM_DHCP>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre);
    UseStatusBar(ui->StatusBar1, {0});
    for (QvStatusBar* bar : {ui->StatusBar2, ui->StatusBar3, ui->StatusBar4})
        bar->AddPanel(0, true);
    for (QTreeWidget* list : {ui->LV_StaticPoolSet, ui->User_ListView, ui->LV_DynPool, ui->LV_StaticPool})
        SetReportStyle(list);
    ui->CB_Fuction2->addItems({"Disable", "Enable"});
    SetLeaseListsEnabled(false);
    for (QWidget* button : std::initializer_list<QWidget*>{ui->Bt_Add, ui->Bt_Set, ui->Bt_Del, ui->Bt_Apply,
                                                           ui->StaticApply, ui->Bt_Cancel})
        button->setEnabled(false);

    Handle(ui->CB_Fuction1, &QComboBox::activated, [this] { CB_Fuction1Change(); });
    Handle(ui->CB_Fuction2, &QComboBox::activated, [this] { CB_Fuction2Change(); });
    Handle(ui->Bt_Apply, &QPushButton::clicked, [this] { Bt_ApplyClick(); });
    Handle(ui->Bt_Cancel, &QPushButton::clicked, [this] { Bt_CancelClick(); });
    Handle(ui->StaticApply, &QPushButton::clicked, [this] { StaticApplyClick(); });
    Handle(ui->PageControl1, &QTabWidget::currentChanged, [this] { PageControl1Change(); });
    Handle(ui->Bt_RefreshDynamicPool, &QPushButton::clicked, [this] { Bt_RefreshDynamicPoolClick(); });
    Handle(ui->Bt_RefreshStaticPool, &QPushButton::clicked, [this] { Bt_RefreshStaticPoolClick(); });
    Handle(ui->Bt_Add, &QPushButton::clicked, [this] { Bt_AddClick(); });
    Handle(ui->Bt_Set, &QPushButton::clicked, [this] { Bt_SetClick(); });
    Handle(ui->Bt_Del, &QPushButton::clicked, [this] { Bt_DelClick(); });
    Handle(ui->User_ListView, &QTreeWidget::itemSelectionChanged, [this] { User_ListViewSelectItem(); });
    RunFormCreate([this] { FormCreate(); });
}

TFM_DHCP::~TFM_DHCP() = default;

void TFM_DHCP::FormCreate()
{
    auto& device = NewBinding<QvSNMPRequest2Edits>();
    device.request.list.Assign(QvSNMPVarList(kDeviceAddress, kListScalars, 0));
    device.BindEdit(0, ui->Ed_ext, "%s");
    device.OnGetDone = [this](QvSNMPRequest2Controls& binding, const QvSNMPError& record) {
        m_deviceAddressRead = record.code == 0 && binding.request.list.Item(0).value != ValueText::kNull;
    };
    DeviceAddress = &device;
    try {
        auto& pool = NewBinding<QvSNMPRequest2Edits>();
        pool.request.list.Assign(QvSNMPVarList(DeviceVariables::DhcpDynamicPool, kListScalars, 0));
        pool.RequestMode = QvSNMPRequest2Controls::kWaiting;
        QLineEdit* edits[] = {ui->Ed_IPAF, ui->Ed_PoolRan, ui->Ed_SubMask, ui->Ed_Gateway,
                              ui->Ed_Wins, ui->Ed_DNS,     ui->Ed_DomNa,   ui->Ed_Lease};
        const char* formats[] = {"%s", "%u", "%s", "%s", "%s", "%s", "%s", "%u"};
        for (int item = 0; item < 8; ++item)
            pool.BindEdit(item, edits[item], formats[item]);
        pool.BindComboBox(8, ui->CB_Status);
        pool.SetStatusSink(ui->StatusBar1->Panel(0));
        PoolSettings = &pool;

        auto& function = NewBinding<QvSNMPRequest2Edits>();
        function.request.list.Assign(QvSNMPVarList(kFunction, kListScalars, 0));
        function.RequestMode = QvSNMPRequest2Controls::kWaiting;
        function.BindComboBox(0, ui->CB_Fuction1);
        Function = &function;

        auto& refresh = NewBinding<QvSNMPRequest2Edits>();
        refresh.request.list.Assign(QvSNMPVarList(kMappingRefresh, kListScalars, 0));
        refresh.RequestMode = QvSNMPRequest2Controls::kWaiting;
        refresh.BindComboBox(0, ui->CoboxDynamic);
        refresh.BindComboBox(1, ui->CoboxStatic);
        MappingRefresh = &refresh;

        CreateStaticPool();

        auto mappingList = [this](const VariableDescriptor* table, QTreeWidget* view, QvStatusBar* bar) {
            auto& list = NewBinding<New_req2Edit>();
            list.request.list.Assign(QvSNMPVarList(table, kListTable, 1));
            list.EmptyRowValue = kNoMac;
            list.BindListView(view, false);
            list.SetStatusSink(bar->Panel(0));
            // A read that fails leaves the list empty or short: its bar says why.
            list.OnGetDone = [](QvSNMPRequest2Controls& binding, const QvSNMPError& record) {
                if (record.code != 0)
                    binding.ShowStatus(record.message);
            };
            return &list;
        };
        DynamicMappings = mappingList(kDynamicMappings, ui->LV_DynPool, ui->StatusBar3);
        StaticMappings = mappingList(kStaticMappings, ui->LV_StaticPool, ui->StatusBar4);

        // The device fills its mapping tables on the refresh command, so that write goes first;
        // no other read depends on it or on another's answer: they are all asked together
        // after it, then shown in the order the page has always read them.
        RunMappingRefresh(ui->StatusBar1);
        ReadTogether({&pool, &function, LeaseTable, LeaseList, DynamicMappings, StaticMappings, &device});

        pool.Get();
        if (function.Get()) {
            ui->CB_Fuction2->setCurrentIndex(ui->CB_Fuction1->currentIndex());
            EnableRule();
        }
        // A refused write of the switch must be seen: it reports where the pool's writes do.
        function.SetStatusSink(ui->StatusBar1->Panel(0));
        LeaseTable->Get();
        LeaseList->Get();
        DynamicMappings->Get();
        StaticMappings->Get();
    } catch (const std::exception& error) {
        for (QvStatusBar* bar : {ui->StatusBar1, ui->StatusBar2, ui->StatusBar3}) {
            bar->SetSimplePanel(true);
            bar->SetSimpleText(QString::fromStdString(error.what()));
        }
    }
    device.Get();

    SetMaxLength(ui->Ed_DomNa, 63);
    for (QLineEdit* edit : {ui->Ed_IPAF, ui->Ed_SubMask, ui->Ed_Gateway, ui->Ed_Wins, ui->Ed_DNS})
        SetMaxLength(edit, 15);
}

void TFM_DHCP::EnableRule()
{
    const int function1 = ui->CB_Fuction1->currentIndex();
    if (function1 == kDisable || function1 == kEnable) {
        for (QWidget* control : std::initializer_list<QWidget*>{ui->Ed_IPAF, ui->Ed_PoolRan, ui->Ed_SubMask,
                                                                ui->Ed_Gateway, ui->Ed_Wins, ui->Ed_DNS,
                                                                ui->Ed_DomNa, ui->Ed_Lease, ui->CB_Status})
            control->setEnabled(function1 == kEnable);
    }
    const int function2 = ui->CB_Fuction2->currentIndex();
    if (function2 == kDisable) {
        for (QWidget* button : std::initializer_list<QWidget*>{ui->Bt_Add, ui->Bt_Set, ui->Bt_Del})
            button->setEnabled(false);
        SetLeaseListsEnabled(false);
    } else if (function2 == kEnable) {
        SetLeaseListsEnabled(true);
    }
    SetMaxLength(ui->Ed_PoolRan, 3);
    SetMaxLength(ui->Ed_Lease, 8);
}

void TFM_DHCP::ApplyAddRule()
{
    ui->Bt_Add->setEnabled(ui->CB_Fuction2->currentIndex() != kDisable && !(LeaseList && LeaseList->Busy));
}

void TFM_DHCP::CB_Fuction1Change()
{
    ui->CB_Fuction2->setCurrentIndex(ui->CB_Fuction1->currentIndex());
    EnableRule();
}

void TFM_DHCP::CB_Fuction2Change()
{
    ui->CB_Fuction1->setCurrentIndex(ui->CB_Fuction2->currentIndex());
    EnableRule();
    ApplyAddRule();
}

void TFM_DHCP::PageControl1Change()
{
    if (ui->PageControl1->currentIndex() != kStaticTab)
        return;
    const int function1 = ui->CB_Fuction1->currentIndex();
    if (function1 == kDisable || function1 == kEnable)
        ui->User_ListView->setEnabled(function1 == kEnable);
    ApplyAddRule();
}

void TFM_DHCP::Bt_CancelClick() { close(); }

bool TFM_DHCP::PoolChecksPass()
{
    if (ui->Ed_IPAF->text().isEmpty()) {
        Tell(this, "Please input valid IP address", "Warning");
        ui->Ed_IPAF->setFocus();
        return false;
    }
    if (ui->Ed_PoolRan->text().isEmpty()) {
        Tell(this, "Please input a number between 1 and 255.", "Warning");
        ui->Ed_PoolRan->setFocus();
        return false;
    }
    // Without the device's own address the pool cannot be kept clear of it. Whether it was
    // read is what counts: in a wider network an address may well end in .0 or .255.
    if (!m_deviceAddressRead) {
        Tell(this, "The device's IP address could not be read, so the pool cannot be checked against it. "
                   "Please try again later.",
             "Warning");
        return false;
    }
    const uint32_t start = IPTextToNumber(ui->Ed_IPAF);
    const uint32_t size = IPTextToNumber(ui->Ed_PoolRan);
    if (Inside(start, size, IPTextToNumber(ui->Ed_ext))) {
        Tell(this, "Reject: The DHCP dynamic IP pool will cover system IP.", "Warning");
        return false;
    }
    for (int row = 0; row < ui->User_ListView->topLevelItemCount(); ++row) {
        ui->IPTemp->setText(ui->User_ListView->topLevelItem(row)->text(DeviceVariables::kLeaseIpItem));
        if (Inside(start, size, IPTextToNumber(ui->IPTemp))) {
            Tell(this, "Reject: The DHCP dynamic IP pool will cover Static IP.", "Warning");
            return false;
        }
    }
    const int range = StrToInt(ui->Ed_PoolRan->text().toStdString());
    if (range < 1 || range > 255) {
        Tell(this, "Please input a number between 1 and 255.", "Error");
        ui->Ed_PoolRan->clear();
        ui->Ed_PoolRan->setFocus();
        return false;
    }
    if (ui->Ed_Lease->text().isEmpty()) {
        Tell(this, "Please input a number between 60 and 31536000.", "Warning");
        ui->Ed_Lease->setFocus();
        return false;
    }
    if (!CheckText(ui->Ed_DomNa->text().toStdString(), false, this)) {
        ui->Ed_DomNa->setFocus();
        return false;
    }
    const int lease = StrToInt(ui->Ed_Lease->text().toStdString());
    if (lease < kMinLease || lease > kMaxLease) {
        Tell(this, "Please input a number between 60 and 31536000.", "Error");
        ui->Ed_Lease->clear();
        ui->Ed_Lease->setFocus();
        return false;
    }
    for (QLineEdit* edit : {ui->Ed_SubMask, ui->Ed_Gateway, ui->Ed_Wins, ui->Ed_DNS})
        if (edit->text().isEmpty())
            edit->setText(kNoAddress);
    auto refuse = [this](QLineEdit* edit, const QString& text) {
        Tell(this, text, "Waring");
        edit->clear();
        edit->setFocus();
        return false;
    };
    if (!IsValidIpAddress(ui->Ed_IPAF->text().toStdString()))
        return refuse(ui->Ed_IPAF, "Please input valid IP address");
    auto optional = [](QLineEdit* edit, bool (*valid)(const std::string&)) {
        return edit->text() == kNoAddress || valid(edit->text().toStdString());
    };
    if (!optional(ui->Ed_Gateway, IsValidIpAddress))
        return refuse(ui->Ed_Gateway, "Please input valid Gateway.");
    if (!optional(ui->Ed_Wins, IsValidIpAddress))
        return refuse(ui->Ed_Wins, "Please input valid Wins.");
    if (!optional(ui->Ed_DNS, IsValidIpAddress))
        return refuse(ui->Ed_DNS, "Please input valid DNS.");
    if (!optional(ui->Ed_SubMask, IsValidSubnetMask))
        return refuse(ui->Ed_SubMask, "Please input valid SubMask.");
    if (ui->Ed_IPAF->text().trimmed() == Capabilities().DeviceAddress()) {
        Tell(this, "Reject:DHCPS dynamic IP pool will cover system IP", "Waring");
        ui->Ed_IPAF->clear();
        return false;
    }
    return true;
}

bool TFM_DHCP::Write(QvSNMPRequest2Edits& binding)
{
    if (binding.Set())
        return true;
    ui->StatusBar2->Panel(0)->SetText(ui->StatusBar1->Panel(0)->Text());
    return false;
}

void TFM_DHCP::Bt_ApplyClick()
{
    if (!Function || !PoolSettings)
        return;
    if (ui->CB_Fuction1->currentIndex() == kEnable) {
        if (!PoolChecksPass())
            return;
        PoolSettings->RequireValues();
        if (!Write(*Function) || !Write(*PoolSettings))
            return;
    } else if (!Write(*Function)) {
        return;
    }
    RunRestartWait({}, this);
}

void TFM_DHCP::StaticApplyClick()
{
    if (Function && Write(*Function))
        RunRestartWait({}, this);
}

void TFM_DHCP::RunMappingRefresh(QvStatusBar* alsoWaiting)
{
    ui->CoboxDynamic->setCurrentIndex(kGetRow);
    ui->CoboxStatic->setCurrentIndex(kGetRow);
    QvStatusBar* const lists[] = {ui->StatusBar3, ui->StatusBar4};
    // What follows waits for the command (the opening's Apply stays off meanwhile): say for what.
    const QString waiting = "Asking the device to refresh its current IP mapping lists...";
    if (alsoWaiting)
        alsoWaiting->Panel(0)->SetText(waiting);
    for (QvStatusBar* bar : lists)
        bar->Panel(0)->SetText(waiting);
    const bool refreshed = MappingRefresh->Set();
    if (alsoWaiting)
        alsoWaiting->Panel(0)->SetText({});
    // The lists then show what the device gathered before, which may be out of date.
    QString outcome;
    if (!refreshed)
        outcome = "The current IP mapping lists could not be refreshed ("
            + QString::fromStdString(MappingRefresh->LastError().message)
            + "); they show what the device gathered before.";
    for (QvStatusBar* bar : lists)
        bar->Panel(0)->SetText(outcome);
}

void TFM_DHCP::RefreshMapping(New_req2Edit* list)
{
    if (!MappingRefresh || !list)
        return;
    RunMappingRefresh();
    list->RowNumber = 1;
    list->Get();
}

void TFM_DHCP::Bt_RefreshDynamicPoolClick() { RefreshMapping(DynamicMappings); }

void TFM_DHCP::Bt_RefreshStaticPoolClick() { RefreshMapping(StaticMappings); }

QDialog* NewDhcpPage(QWidget* owner) { return new TFM_DHCP(owner); }
