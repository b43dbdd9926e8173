#include "pages/status/TFM_DevInfo.h"

#include "binding/Controls.h"
#include "binding/DeviceVariables.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "shell/ModuleConstants.h"
#include "ui_TFM_DevInfo.h"

namespace {

const OptionRow kGetIpFromRows[] = {{1, "Manual"}, {2, "Dynamic"}, {0, nullptr}};
const QvOptionList kGetIpFrom(kGetIpFromRows);

const VariableDescriptor kDevice[] = {
    {VTA_OID(".4.1.1.1"), "Firmware Version", kSyntaxDisplayString, kAccessReadOnly},
    {VTA_OID(".4.1.1.2"), "MAC Address", kSyntaxMacAddress, kAccessReadOnly},
    {VTA_OID(".4.1.1.3"), "Get IP From", kSyntaxInteger, kAccessReadOnly, &kGetIpFrom},
    {VTA_OID(".4.1.1.4"), "IP Address", kSyntaxIpAddress, kAccessReadOnly},
    {VTA_OID(".4.1.1.5"), "Subnet Mask", kSyntaxIpAddress, kAccessReadOnly},
    {VTA_OID(".4.1.1.6"), "Default Gateway", kSyntaxIpAddress, kAccessReadOnly},
    DeviceVariables::EndOfTable,
};

// What radio 1 runs now.
const VariableDescriptor kRadio[] = {
    {VTA_OID(".4.1.2.1.1.1"), "stSSID", kSyntaxDisplayString, kAccessReadOnly},
    {VTA_OID(".4.1.2.1.2.1"), "stChannel", kSyntaxInteger, kAccessReadOnly},
    {VTA_OID(".4.1.2.1.4.1"), "stDataRate", kSyntaxDisplayString, kAccessReadOnly},
    {VTA_OID(".4.1.2.1.5.1"), "stSecLevelAuth", kSyntaxDisplayString, kAccessReadOnly},
    DeviceVariables::EndOfTable,
};

} // namespace

TFM_DevInfo::TFM_DevInfo(QWidget* owner) : QvPage(owner), ui(std::make_unique<Ui::TFM_DevInfo>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre);
    UseStatusBar(ui->StatusBar);
    Handle(ui->Bt_Refa, &QPushButton::clicked, [this] { Bt_RefaClick(); });
    RunFormCreate([this] { FormCreate(); });
}

TFM_DevInfo::~TFM_DevInfo() = default;

void TFM_DevInfo::FormCreate()
{
    ui->PC_WirlessTraffic->setTabText(0, kFirstBandTitle);
    SetTabSheetVisible(ui->TabSheetG, false);

    auto& radio = NewBinding<QvSNMPRequest2Edits>();
    radio.RequestMode = QvSNMPRequest2Controls::kWaiting;
    radio.request.list.Assign(QvSNMPVarList(kRadio, kListSingleInstances, 0));
    radio.SetStatusSink(ui->StatusBar);
    QLineEdit* const radioEdits[] = {ui->Ed_SSIDa, ui->Ed_Channela, ui->Ed_DatRata, ui->Ed_SecLevAutha};
    for (int item = 0; item < 4; ++item)
        radio.BindEdit(item, radioEdits[item], "%s");
    RadioEdits = &radio;

    // No status sink: a failed read of these leaves no message of its own.
    auto& device = NewBinding<QvSNMPRequest2Edits>();
    device.RequestMode = QvSNMPRequest2Controls::kWaiting;
    device.request.list.Assign(QvSNMPVarList(kDevice, kListScalars, 0));
    QLineEdit* const deviceEdits[] = {ui->Ed_Firmware, ui->Ed_Mac,     ui->Ed_GetIP,
                                      ui->Ed_IPaddr,   ui->Ed_SubMask, ui->Ed_Gate};
    for (int item = 0; item < 6; ++item)
        device.BindEdit(item, deviceEdits[item], "%s");
    DeviceEdits = &device;

    // Neither read depends on the other: both go to the device at once.
    ReadTogether({&radio, &device});
    radio.Get();
    device.Get();
}

void TFM_DevInfo::Bt_RefaClick()
{
    if (RadioEdits)
        RadioEdits->Get();
}
