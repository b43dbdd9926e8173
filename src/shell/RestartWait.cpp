#include "shell/RestartWait.h"

#include "platform/LetGo.h"
#include "shell/TFM_Waiting.h"
#include "ui_TFM_Waiting.h"

std::unique_ptr<TFM_Waiting> NewRestartWait(const RestartWait& wait, QWidget* owner)
{
    auto dialog = std::make_unique<TFM_Waiting>(owner);
    ReshapeRestartWait(dialog.get(), wait);
    return dialog;
}

void RunRestartWait(const RestartWait& wait, QWidget* owner)
{
    if (LetGo(owner))
        return;  // the page has gone: no restart, no wait
    const std::unique_ptr<TFM_Waiting> dialog = NewRestartWait(wait, owner);
    dialog->exec();
}

void ReshapeRestartWait(TFM_Waiting* dialog, const RestartWait& wait)
{
    if (!dialog)
        return;
    Ui::TFM_Waiting& ui = *dialog->ui;
    dialog->Countdown = wait.countdown;
    dialog->SendReboot = wait.sendReboot;
    dialog->RebootDelay = wait.rebootDelay;
    ui.La_Time->setText(QString::number(wait.countdown));
    if (!wait.firstLine.isEmpty())
        ui.Label2->setText(wait.firstLine);
    if (!wait.secondLine.isEmpty())
        ui.Label3->setText(wait.secondLine);
    if (!wait.countdownLine.isEmpty())
        ui.Label1->setText(wait.countdownLine);
    ui.La_Time->setVisible(wait.showCountdown);
    ui.seconds->setVisible(wait.showCountdown);
    if (!wait.caption.isEmpty())
        dialog->setWindowTitle(wait.caption);
}
