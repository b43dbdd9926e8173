#include "pages/home/TFM_LanCfg.h"

#include "binding/Controls.h"
#include "binding/DeviceVariables.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "binding/QvStatusBar.h"
#include "platform/Dialogs.h"
#include "platform/DottedAddress.h"
#include "shell/RestartWait.h"
#include "shell/Validators.h"
#include "ui_TFM_LanCfg.h"

#include <QCoreApplication>

namespace {

const VariableDescriptor kSettings[] = {
    DeviceVariables::HGetIpFrom,      DeviceVariables::HIpAddress, DeviceVariables::HSubnetMask,
    DeviceVariables::HDefaultGateway, DeviceVariables::SysRestart, DeviceVariables::EndOfTable,
};
enum SettingsItem { kIpFrom, kAddress, kMask, kGateway, kRestart };

constexpr int kStaticMode = 0;
constexpr int kDynamicMode = 1;
constexpr int kRebootRow = 1;
constexpr int kAddressLength = 15;
// Each step of the lease walk waits a second per try: a lost datagram costs a second, not
// the whole wait, and a busy device's late answer still counts during the further tries.
constexpr uint32_t kLeaseTimeout = 100;
constexpr uint32_t kLeaseRetries = 3;

void Warn(QWidget* page, const QString& text)
{
    Dialogs::message(page, text, "Warning", DialogButtons::Ok);
}

} // namespace

TFM_LanCfg::TFM_LanCfg(QWidget* owner) : QvPage(owner), ui(std::make_unique<Ui::TFM_LanCfg>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre);
    UseStatusBar(ui->StatusBar);
    Handle(ui->CB_IPFrom, &QComboBox::activated, [this] { CB_IPFromChange(); });
    Handle(ui->BT_LanCfgOk, &QPushButton::clicked, [this] { BT_LanCfgOkClick(); });
    Handle(ui->BT_LanCfgCancel, &QPushButton::clicked, [this] { BT_LanCfgCancelClick(); });
    RunFormCreate([this] { FormCreate(); });
    // Also when the opening failed.
    for (QLineEdit* edit : {ui->ED_IpAddr, ui->ED_SubMask, ui->ED_DefGw})
        SetMaxLength(edit, kAddressLength);
}

TFM_LanCfg::~TFM_LanCfg() = default;

void TFM_LanCfg::FormCreate()
{
    auto& settings = NewBinding<QvSNMPRequest2Edits>();
    settings.request.list.Assign(QvSNMPVarList(kSettings, kListScalars, 0));
    settings.RequestMode = QvSNMPRequest2Controls::kWaiting;
    settings.BindComboBox(kIpFrom, ui->CB_IPFrom);
    settings.BindEdit(kAddress, ui->ED_IpAddr, "%s");
    settings.BindEdit(kMask, ui->ED_SubMask, "%s");
    settings.BindEdit(kGateway, ui->ED_DefGw, "%s");
    settings.BindComboBox(kRestart, ui->ED_Restart);
    settings.SetStatusSink(ui->StatusBar);
    Settings = &settings;

    auto& pool = NewBinding<QvSNMPRequest2Edits>();
    pool.request.list.Assign(QvSNMPVarList(DeviceVariables::DhcpDynamicPool, kListScalars, 0));
    pool.BindEdit(DeviceVariables::kPoolStartItem, ui->Ed_IPAF, "%s");
    pool.BindEdit(DeviceVariables::kPoolRangeItem, ui->Ed_PoolRan, "%u");
    pool.OnGetDone = [this](QvSNMPRequest2Controls&, const QvSNMPError& record) { m_poolRead = record.code == 0; };
    DynamicPool = &pool;
    pool.Get();

    auto& leases = NewBinding<QvSNMPRequest2Edits>();
    leases.request.list.Assign(QvSNMPVarList(DeviceVariables::DhcpStaticLeases, kListTableUnlisted, 1));
    leases.request.timeout = kLeaseTimeout;
    leases.request.retries = kLeaseRetries;
    leases.BindListView(ui->Static_ListView);
    leases.OnGetDone = [this](QvSNMPRequest2Controls&, const QvSNMPError& record) {
        m_leasesRead = record.code == 0;
    };
    StaticLeases = &leases;

    if (settings.Get()) {
        m_openingAddress = ui->ED_IpAddr->text();
        m_openingMode = ui->CB_IPFrom->currentIndex();
        CB_IPFromChange();
    }
}

void TFM_LanCfg::CB_IPFromChange()
{
    const bool addressed = ui->CB_IPFrom->currentIndex() != kDynamicMode;
    for (QWidget* control : std::initializer_list<QWidget*>{ui->LA_IPAddress, ui->ED_IpAddr, ui->LA_SubnetMask,
                                                            ui->ED_SubMask, ui->LA_DefGW, ui->ED_DefGw})
        control->setVisible(addressed);
}

void TFM_LanCfg::BT_LanCfgOkClick()
{
    if (!Settings)
        return;
    if (ui->CB_IPFrom->currentIndex() == kStaticMode)
        ApplyStatic();
    else if (ui->CB_IPFrom->currentIndex() == kDynamicMode)
        ApplyDynamic();
}

void TFM_LanCfg::BT_LanCfgCancelClick() { close(); }

void TFM_LanCfg::Reread() { Settings->Get(); }

void TFM_LanCfg::ApplyStatic()
{
    if (!IsValidIpAddress(ui->ED_IpAddr->text().toStdString())) {
        Warn(this, "Please input valid IP Address.");
        ui->ED_IpAddr->clear();
        return;
    }
    if (!IsValidSubnetMask(ui->ED_SubMask->text().toStdString())) {
        Warn(this, "Please input valid Subnet Mask.");
        ui->ED_SubMask->clear();
        return;
    }
    if (!IsValidIpAddress(ui->ED_DefGw->text().toStdString())) {
        Warn(this, "Please input valid Gateway.");
        ui->ED_DefGw->clear();
        return;
    }
    // Without the pool there is nothing to compare with; sending anyway could put the device
    // inside the range its own DHCP server hands out.
    if (!m_poolRead) {
        Warn(this, "The DHCP server's dynamic pool could not be read from the device, so the IP cannot be "
                   "checked against it. Please try again later.");
        return;
    }
    const uint32_t start = IPTextToNumber(ui->Ed_IPAF);
    const uint32_t size = IPTextToNumber(ui->Ed_PoolRan);
    const uint32_t address = IPTextToNumber(ui->ED_IpAddr);
    if (start <= address && address < start + size) {
        Warn(this, "Reject: The IP conflicts with Dynamic DHCP Server IP");
        Reread();
        return;
    }
    const QString typed = ui->ED_IpAddr->text();
    if (!SameDottedAddress(typed.toStdString(), m_openingAddress.toStdString())) {
        if (IsAddressInUse(typed.toStdString(), this)) {
            Warn(this, "Reject: The IP already has been used.");
            Reread();
            ui->ED_IpAddr->setFocus();
            return;
        }
        if (!LeasesAllow(typed))
            return;
    }

    if (m_openingMode == kDynamicMode)
        ui->ED_Restart->setCurrentIndex(kRebootRow);
    for (int item : {kAddress, kMask, kGateway})
        Settings->request.list.Item(item).access = kAccessReadWrite;
    if (!Settings->Set()) {
        ShowSimpleStatus("Set Error!");
        return;
    }
    ShowSimpleStatus("Set Success!");
    const QString newAddress = "The system IP will be " + ui->ED_IpAddr->text();
    if (m_openingMode == kDynamicMode)
        RunRestartWait({.firstLine = "The device is restarting.", .secondLine = newAddress}, this);
    else
        RunRestartWait({.countdown = 5, .secondLine = newAddress}, this);
}

bool TFM_LanCfg::LeasesAllow(const QString& address)
{
    // The walk runs while the wait dialog counts; it normally ends long before.
    m_leasesRead = false;
    StaticLeases->Get();
    RunRestartWait({.countdown = 12,
                    .sendReboot = false,
                    .firstLine = "Please wait...",
                    .secondLine = "Judge the IP whether can be used."},
                   this);
    // One that lost a datagram near the end ends soon after, by its own time-outs: it is
    // waited for (so no second Apply can start a walk into the same list), with the window
    // living; closing the page ends the wait.
    if (!WaitWhile([this] { return StaticLeases->Busy; }))
        return false;
    // A failed walk proves nothing about the leases.
    if (!m_leasesRead) {
        Warn(this, "The static leases of the DHCP server could not be read from the device, so the IP cannot be "
                   "checked against them. Please try again later.");
        return false;
    }
    QTreeWidget* leases = ui->Static_ListView;
    for (int row = 0; row < leases->topLevelItemCount(); ++row) {
        if (SameDottedAddress(leases->topLevelItem(row)->text(DeviceVariables::kLeaseIpItem).toStdString(),
                              address.toStdString())) {
            Warn(this, "Reject: The IP conflicts with Static DHCP Server IP");
            Reread();
            return false;
        }
    }
    return true;
}

void TFM_LanCfg::ApplyDynamic()
{
    if (Dialogs::message(this, "Device will reboot,continue?", "Warning", DialogButtons::OkCancel) !=
        DialogResult::Ok)
        return;
    for (int item : {kAddress, kMask, kGateway})
        Settings->request.list.Item(item).access = kAccessInvalid;
    if (!Settings->Set())
        return;
    ShowSimpleStatus("Set Success!");
    RunRestartWait({}, this);
}

QDialog* NewLanPage(QWidget* owner) { return new TFM_LanCfg(owner); }
