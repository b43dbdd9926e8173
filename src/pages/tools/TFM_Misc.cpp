#include "pages/tools/TFM_Misc.h"

#include "binding/DeviceVariables.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "shell/RestartWait.h"
#include "ui_TFM_Misc.h"

namespace {

const OptionRow kTimeoutRows[] = {{1, "1 Min"},  {2, "3 Mins"}, {3, "5 Mins"},
                                  {4, "10 Mins"}, {5, "15 Mins"}, {6, "Never"}, {0, nullptr}};
const OptionRow kSnmpRows[] = {{0, "disabled"}, {1, "enabled"}, {0, nullptr}};
const QvOptionList kTimeoutOptions(kTimeoutRows);
const QvOptionList kSnmpOptions(kSnmpRows);

const VariableDescriptor kConsole[] = {
    {VTA_OID(".3.4.1"), "telnet", kSyntaxInteger, kAccessReadWrite, &DeviceVariables::DisableEnableOptions},
    {VTA_OID(".3.4.2"), "timeout", kSyntaxInteger, kAccessReadWrite, &kTimeoutOptions},
    {VTA_OID(".3.4.4"), "snmp", kSyntaxInteger, kAccessReadWrite, &kSnmpOptions},
    DeviceVariables::EndOfTable,
};

} // namespace

TFM_Misc::TFM_Misc(QWidget* owner) : QvPage(owner), ui(std::make_unique<Ui::TFM_Misc>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::OwnerCentre);
    UseStatusBar(ui->StatusBar);
    Handle(ui->Bt_Rfresh, &QPushButton::clicked, [this] { Bt_RfreshClick(); });
    Handle(ui->Bt_Apply, &QPushButton::clicked, [this] { Bt_ApplyClick(); });
    // Also when a read changes the box, as the timeout must follow what the device says.
    Handle(ui->CB_Status, &QCheckBox::toggled, [this] { CB_StatusClick(); });
    RunFormCreate([this] { FormCreate(); });
}

TFM_Misc::~TFM_Misc() = default;

void TFM_Misc::FormCreate()
{
    auto& edits = NewBinding<QvSNMPRequest2Edits>();
    edits.RequestMode = QvSNMPRequest2Controls::kWaiting;
    edits.request.list.Assign(QvSNMPVarList(kConsole, kListScalars, 0));
    edits.BindCheckBox(0, ui->CB_Status);
    edits.BindComboBox(1, ui->CB_Timeout);
    edits.BindCheckBox(2, ui->ChekbxSNMP);
    edits.SetStatusSink(ui->StatusBar);
    ConsoleEdits = &edits;
    edits.Get();
    CB_StatusClick();
}

void TFM_Misc::CB_StatusClick() { ui->CB_Timeout->setEnabled(ui->CB_Status->isChecked()); }

void TFM_Misc::Bt_RfreshClick()
{
    if (ConsoleEdits)
        ConsoleEdits->Get();
}

void TFM_Misc::Bt_ApplyClick()
{
    if (!ConsoleEdits)
        return;
    // A disabled timeout selection is still sent as shown.
    if (!ConsoleEdits->Set()) {
        ShowSimpleStatus("Setting Error!");
        return;
    }
    RunRestartWait();
}
