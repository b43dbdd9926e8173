#include "pages/advanced/TFM_Group.h"

#include "binding/Controls.h"
#include "binding/DeviceVariables.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "platform/Conversion.h"
#include "platform/Dialogs.h"
#include "shell/RestartWait.h"
#include "ui_TFM_Group.h"

namespace {

const VariableDescriptor kGrouping[] = {
    {VTA_OID(".2.6.1"), "LoadBalance", kSyntaxInteger, kAccessReadWrite, &DeviceVariables::DisableEnableOptions},
    {VTA_OID(".2.6.2"), "UserLimit(0-64)", kSyntaxInteger, kAccessReadWrite},
    {VTA_OID(".2.6.3"), "LinkIntegrate", kSyntaxInteger, kAccessReadWrite, &DeviceVariables::DisableEnableOptions},
    {VTA_OID(".2.6.4"), "EthernetLinkStatus", kSyntaxDisplayString, kAccessReadOnly},
    DeviceVariables::EndOfTable,
};

constexpr int kUserLimitMax = 64;

bool InRange(int value, int low, int high) { return value >= low && value <= high; }
constexpr int kLoadBalanceDisabled = 0;
constexpr int kLoadBalanceEnabled = 1;
// The restart command waits a few ticks: the device stores the grouping settings first.
constexpr int kRebootDelay = 5;

} // namespace

TFM_Group::TFM_Group(QWidget* owner) : QvPage(owner), ui(std::make_unique<Ui::TFM_Group>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre);
    UseStatusBar(ui->StatusBar);
    SetReadOnlyLook(ui->Ed_EthLS, true);
    Handle(ui->Bt_Apply, &QPushButton::clicked, [this] { Bt_ApplyClick(); });
    Handle(ui->Bt_Refresh, &QPushButton::clicked, [this] { Bt_RefreshClick(); });
    Handle(ui->Bt_Cancel, &QPushButton::clicked, [this] { Bt_CancelClick(); });
    Handle(ui->CB_LoadB, &QComboBox::activated, [this] { CB_LoadBChange(); });
    RunFormCreate([this] { FormCreate(); });
    ApplyUserLimitRule();
}

TFM_Group::~TFM_Group() = default;

void TFM_Group::FormCreate()
{
    auto& edits = NewBinding<QvSNMPRequest2Edits>();
    edits.RequestMode = QvSNMPRequest2Controls::kWaiting;
    edits.request.list.Assign(QvSNMPVarList(kGrouping, kListScalars, 0));
    edits.BindComboBox(0, ui->CB_LoadB);
    edits.BindEdit(1, ui->Ed_UsrL, "%u");
    edits.BindComboBox(2, ui->CB_LinkInt);
    edits.BindEdit(3, ui->Ed_EthLS, "%s");
    edits.SetStatusSink(ui->StatusBar);
    GroupEdits = &edits;
    edits.Get();
    SetMaxLength(ui->Ed_UsrL, 2);
}

void TFM_Group::ApplyUserLimitRule()
{
    const int loadBalance = ui->CB_LoadB->currentIndex();
    if (loadBalance == kLoadBalanceEnabled)
        SetReadOnlyLook(ui->Ed_UsrL, false);
    else if (loadBalance == kLoadBalanceDisabled)
        SetReadOnlyLook(ui->Ed_UsrL, true);
}

void TFM_Group::CB_LoadBChange() { ApplyUserLimitRule(); }

void TFM_Group::Bt_RefreshClick()
{
    if (GroupEdits)
        GroupEdits->Get();
    ApplyUserLimitRule();
}

void TFM_Group::Bt_CancelClick() { close(); }

void TFM_Group::Bt_ApplyClick()
{
    if (!GroupEdits)
        return;
    // Checked and sent also while load balancing is off and the edit cannot be typed into.
    const std::string userLimit = ui->Ed_UsrL->text().toStdString();
    if (userLimit.empty() || !InRange(StrToInt(userLimit), 0, kUserLimitMax)) {
        Dialogs::message(this, "Please input a number between 0 and 64.", "Error");
        ui->Ed_UsrL->clear();
        return;
    }
    if (!GroupEdits->Set()) {
        ShowSimpleStatus("Setting Error!");
        return;
    }
    ui->StatusBar->SetSimplePanel(true);
    RunRestartWait({.rebootDelay = kRebootDelay});
}
