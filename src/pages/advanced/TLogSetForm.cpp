#include "pages/advanced/TLogSetForm.h"

#include "binding/QvSNMPRequest2Edits.h"
#include "binding/QvStatusBar.h"
#include "platform/Dialogs.h"
#include "shell/RestartWait.h"
#include "shell/Validators.h"
#include "ui_TLogSetForm.h"

namespace {

// The device reads this address as "no remote log server".
const QString kNoServer = "0.0.0.0";

} // namespace

TLogSetForm::TLogSetForm(QWidget* owner) : QvPage(owner), ui(std::make_unique<Ui::TLogSetForm>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre);
    UseStatusBar(ui->StatusBar1, {50});
    Handle(ui->Bt_Apply, &QPushButton::clicked, [this] { Bt_ApplyClick(); });
    Handle(ui->Bt_Cancel, &QPushButton::clicked, [this] { Bt_CancelClick(); });
}

TLogSetForm::~TLogSetForm() = default;

void TLogSetForm::UseSettings(QvSNMPRequest2Edits* settings, QvStatusBar* logPageStatus)
{
    m_settings = settings;
    m_logPageStatus = logPageStatus;
}

void TLogSetForm::Bt_ApplyClick()
{
    if (!m_settings)
        return;
    if (ui->LogServerEdit->text().isEmpty())
        ui->LogServerEdit->setText(kNoServer);
    const QString server = ui->LogServerEdit->text();
    if (server != kNoServer && !IsValidIpAddress(server.toStdString())) {
        Dialogs::message(this, "Please input valid IP Address.", "Warning", DialogButtons::Ok, DialogIcon::Warning);
        ui->LogServerEdit->clear();
        return;
    }
    if (!m_settings->Set()) {
        ShowStatus("Set Error!");
        return;
    }
    if (m_logPageStatus)
        if (QvStatusPanel* panel = m_logPageStatus->Panel(0))
            panel->SetText("Set Success!");
    ShowStatus("Set Success!");
    RunRestartWait({}, this);
}

void TLogSetForm::Bt_CancelClick()
{
    close();
}
