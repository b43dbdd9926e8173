#include "pages/tools/TFM_Sytem.h"

#include "binding/DeviceVariables.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "platform/Dialogs.h"
#include "shell/RestartWait.h"
#include "ui_TFM_Sytem.h"

namespace {

const VariableDescriptor kFactoryDefault[] = {
    {VTA_OID(".3.2.2"), "FactoryDefault", kSyntaxInteger, kAccessReadWrite, &DeviceVariables::RestartOptions},
    DeviceVariables::EndOfTable,
};

constexpr int kRestoreRow = 1;  // "reboot": restore the defaults
// The device answers the restore only once it has rewritten its whole configuration. The
// opening read keeps the usual time-out: with a device that does not answer, Restore would
// otherwise stay unusable for this long.
constexpr uint32_t kRestoreTimeout = 5000;
constexpr int kPanelWidth = 340;
const char* const kRebootingCaption = "System is rebooting, please waiting.....";

bool ConfirmReboot(QWidget* parent)
{
    return Dialogs::message(parent, "Device will reboot, continue?", "Warning", DialogButtons::OkCancel) ==
           DialogResult::Ok;
}

} // namespace

TFM_Sytem::TFM_Sytem(QWidget* owner) : QvPage(owner), ui(std::make_unique<Ui::TFM_Sytem>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::OwnerCentre);
    UseStatusBar(ui->StatusBar, {kPanelWidth});
    Handle(ui->Button1, &QPushButton::clicked, [this] { GuardToStatus([this] { Button1Click(); }); });
    // The restore needs the binding free: while the opening read is outstanding the status
    // bar says so.
    HandleWhenIdle(ui->Button2, &QPushButton::clicked, [this] { GuardToStatus([this] { Button2Click(); }); });
    RunFormCreate([this] { FormCreate(); });
}

TFM_Sytem::~TFM_Sytem() = default;

void TFM_Sytem::FormCreate()
{
    auto& edits = NewBinding<QvSNMPRequest2Edits>();
    edits.RequestMode = QvSNMPRequest2Controls::kNotifying;
    edits.request.list.Assign(QvSNMPVarList(kFactoryDefault, kListScalars, 0));
    edits.OnSetDone = [this](QvSNMPRequest2Controls&, const QvSNMPError& record) {
        Guard([this, &record] { FactoryDefaultSetDone(record); });
    };
    edits.BindComboBox(0, ui->CB_Restore);
    edits.SetStatusSink(ui->StatusBar->Panel(0));
    FactoryEdits = &edits;
    edits.Get();
}

void TFM_Sytem::Button1Click()
{
    if (!ConfirmReboot(this))
        return;
    RunRestartWait({.caption = kRebootingCaption});
}

void TFM_Sytem::Button2Click()
{
    if (!FactoryEdits || m_waiting)
        return;
    ui->CB_Restore->setCurrentIndex(kRestoreRow);
    if (!ConfirmReboot(this))
        return;
    // The dialog exists before the command leaves, so even an answer that comes at once
    // finds it. It waits without a visible count until the device has answered.
    std::unique_ptr<TFM_Waiting> waiting = NewRestartWait({
        .countdown = 100,
        .sendReboot = false,
        .secondLine = "The system IP will be 192.168.0.50 !",
        .countdownLine = "please waiting.....",
        .showCountdown = false,
        .caption = QString(kRebootingCaption) + "!",
    });
    m_waiting = waiting.get();
    FactoryEdits->request.timeout = kRestoreTimeout;
    FactoryEdits->Set();
    waiting->exec();
}

void TFM_Sytem::FactoryDefaultSetDone(const QvSNMPError& record)
{
    ShowStatus(QString::fromStdString(record.message));
    if (!m_waiting)
        return;
    if (record.code != 0) {
        // The device keeps running with its settings: the dialog ends within two ticks.
        m_waiting->Countdown = 2;
        return;
    }
    ReshapeRestartWait(m_waiting, {
        .countdown = 35,
        .sendReboot = true,
        .firstLine = "The device is restarting.",
        .countdownLine = "Please waiting for ",
        .showCountdown = true,
    });
}
