#include "shell/TFM_Waiting.h"

#include "binding/DeviceVariables.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "shell/DeviceCapabilities.h"
#include "platform/LetGo.h"
#include "platform/TimeScale.h"
#include "ui_TFM_Waiting.h"

#include <QCloseEvent>

namespace {

const VariableDescriptor kRestartCommand[] = {DeviceVariables::SysRestart, DeviceVariables::EndOfTable};

constexpr int kTickMs = 1200;
// Ticks spent at 1 without the device answering before the dialog gives up waiting.
constexpr int kMaxOverdueTicks = 5;

} // namespace

TFM_Waiting::TFM_Waiting(QWidget* owner)
    : QvPage(owner), ui(std::make_unique<Ui::TFM_Waiting>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::OwnerCentre);
    Timer1.setInterval(TimeScale::scaled(kTickMs));
    connect(&Timer1, &QTimer::timeout, this, [this] { Guard([this] { Timer1Timer(); }); });
}

TFM_Waiting::~TFM_Waiting() = default;

void TFM_Waiting::showEvent(QShowEvent* event)
{
    QvPage::showEvent(event);
    Timer1.start();
}

bool TFM_Waiting::deviceReady() const { return Capabilities().DeviceReady(); }

void TFM_Waiting::Timer1Timer()
{
    const bool ready = deviceReady();
    if (Countdown != 1 || ready) {
        --Countdown;
        ui->La_Time->setText(QString::number(Countdown));
    } else {
        ++m_overdueTicks;  // the display stays at 1
    }
    --RebootDelay;
    if ((Countdown <= 0 && ready) || m_overdueTicks > kMaxOverdueTicks)
        close();
    if (m_rebootPending && RebootDelay <= 0 && SendReboot) {
        m_rebootPending = false;
        sendRestart();
    }
}

void TFM_Waiting::sendRestart()
{
    if (LetGo(this))
        return;  // the page it covers has gone
    auto& restart = NewBinding<QvSNMPRequest2Edits>();
    restart.request.list.Assign(QvSNMPVarList(kRestartCommand, kListScalars, 0));
    restart.BindEdit(0, ui->Ed_Reboot, "%s");
    // The device may well go silent before it answers: a lost answer is no failure here.
    restart.OnSetDone = [](QvSNMPRequest2Controls&, const QvSNMPError&) {};
    ui->Ed_Reboot->setText("reboot");
    restart.Set();
}

bool TFM_Waiting::FormCloseQuery()
{
    if (m_overdueTicks > 2)
        Countdown = 0;
    if (Countdown > 0)
        return false;
    Timer1.stop();
    return true;
}

void TFM_Waiting::closeEvent(QCloseEvent* event)
{
    if (FormCloseQuery())
        QvPage::closeEvent(event);
    else
        event->ignore();
}

void TFM_Waiting::done(int result)
{
    // Escape and programmatic closes obey the same rule as the close box.
    if (FormCloseQuery())
        QvPage::done(result);
}
