#include "pages/tools/TFM_Admin.h"

#include "binding/Controls.h"
#include "binding/DeviceVariables.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "platform/Dialogs.h"
#include "shell/RestartWait.h"
#include "shell/Validators.h"
#include "ui_TFM_Admin.h"

#include <QScopeGuard>

namespace {

const VariableDescriptor kAccount[] = {
    {VTA_OID(".3.1.1"), "UserName", kSyntaxDisplayString, kAccessReadWrite},
    {VTA_OID(".3.1.2"), "Password", kSyntaxDisplayString, kAccessReadWrite},
    DeviceVariables::EndOfTable,
};

constexpr int kUserNameMax = 64;
constexpr int kPasswordMax = 12;
// The device takes its time storing the account.
constexpr uint32_t kAccountTimeout = 1000;

void Warn(QWidget* parent, const QString& text) { Dialogs::message(parent, text, "Warning"); }

} // namespace

bool IsValidUserName(const QString& name)
{
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool letter = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
        const bool digit = u >= '0' && u <= '9';
        if (!letter && !digit && u != '@' && u != '.' && u != '_' && u != '-')
            return false;
    }
    return true;
}

TFM_Admin::TFM_Admin(QWidget* owner) : QvPage(owner), ui(std::make_unique<Ui::TFM_Admin>())
{
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre);
    UseStatusBar(ui->StatusBar);
    for (QLineEdit* password : {ui->Ed_OPwd, ui->Ed_NPwd, ui->Ed_CNP})
        SetPasswordChar(password, '*');
    Handle(ui->OK, &QPushButton::clicked, [this] { OKClick(); });
    Handle(ui->Cancel, &QPushButton::clicked, [this] { CancelClick(); });
    RunFormCreate([this] { FormCreate(); });
    SetMaxLength(ui->Ed_Usr, kUserNameMax);
    for (QLineEdit* password : {ui->Ed_OPwd, ui->Ed_NPwd, ui->Ed_CNP})
        SetMaxLength(password, kPasswordMax);
}

TFM_Admin::~TFM_Admin() = default;

void TFM_Admin::FormCreate()
{
    auto& edits = NewBinding<QvSNMPRequest2Edits>();
    edits.RequestMode = QvSNMPRequest2Controls::kWaiting;
    edits.request.list.Assign(QvSNMPVarList(kAccount, kListScalars, 0));
    edits.request.timeout = kAccountTimeout;
    edits.BindEdit(0, ui->Ed_Usr, "%s");
    edits.BindEdit(1, ui->Ed_Pwd, "%s");
    edits.SetStatusSink(ui->StatusBar);
    AccountEdits = &edits;
    edits.Get();
}

void TFM_Admin::CancelClick() { close(); }

void TFM_Admin::OKClick()
{
    // Without a read the device's password is unknown: only an empty one matches it.
    if (ui->Ed_OPwd->text() != ui->Ed_Pwd->text()) {
        Warn(this, "Please input the current password correctly!");
        return;
    }
    const QString userName = ui->Ed_Usr->text();
    if (userName.size() > kUserNameMax) {
        Warn(this, "Please limit user name to 64 characters!");
        ui->Ed_Usr->clear();
        return;
    }
    if (!CheckText(userName.toStdString(), false, this)) {
        ui->Ed_Usr->setFocus();
        return;
    }
    if (!IsValidUserName(userName)) {
        Warn(this, "Invaild UserName!");
        ui->Ed_Usr->clear();
        ui->Ed_Usr->setFocus();
        return;
    }
    const QString newPassword = ui->Ed_NPwd->text();
    if (newPassword.size() > kPasswordMax) {
        Warn(this, "Please limit password to 12 characters!");
        ui->Ed_NPwd->clear();
        return;
    }
    if (ui->Ed_CNP->text() != newPassword) {
        Warn(this, "Please input the confirm new password correctly!");
        return;
    }
    if (!CheckText(newPassword.toStdString(), false, this)) {
        ui->Ed_NPwd->setFocus();
        return;
    }
    if (!AccountEdits)
        return;
    const QString currentPassword = ui->Ed_Pwd->text();
    ui->Ed_Pwd->setText(newPassword);
    // Unless the device took the new password (also when the set throws), it kept its old
    // one, and the page must keep comparing with that.
    bool stored = false;
    const auto keepCurrent = qScopeGuard([&] {
        if (!stored)
            ui->Ed_Pwd->setText(currentPassword);
    });
    if (!AccountEdits->Set()) {
        ShowSimpleStatus("Setting Error!");
        return;
    }
    stored = true;
    RunRestartWait();
}
