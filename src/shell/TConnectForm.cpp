#include "shell/TConnectForm.h"

#include "binding/WaitInputGate.h"
#include "binding/WindowWaits.h"
#include "binding/WindowAccess.h"
#include "platform/Dialogs.h"
#include "platform/ExceptionGuard.h"
#include "platform/HostRegistry.h"
#include "shell/DevicePicture.h"
#include "shell/ParameterFileWriter.h"
#include "host/Startup.h"
#include "platform/ExchangeWait.h"
#include "ui_TConnectForm.h"

#include <QScopeGuard>

namespace {

struct Choice {
    const char* text;
    int value;  // as the host counts it
};

const Choice kVersions[] = {{"SNMPv1", 0}, {"SNMPv2c", 1}, {"SNMPv3", 3}};
const Choice kLevels[] = {{"noAuthNoPriv", 0}, {"authNoPriv", 1}, {"authPriv", 2}};
const Choice kAuthProtocols[] = {{"HMAC-MD5", 1},     {"HMAC-SHA", 2},     {"HMAC-SHA-224", 3},
                                 {"HMAC-SHA-256", 4}, {"HMAC-SHA-384", 5}, {"HMAC-SHA-512", 6}};
const Choice kPrivProtocols[] = {{"DES", 1}, {"AES-128", 3}};

template <size_t N>
void fill(QComboBox* box, const Choice (&choices)[N])
{
    for (const Choice& choice : choices)
        box->addItem(choice.text, choice.value);
}

int valueOf(const QComboBox* box) { return box->currentData().toInt(); }

void choose(QComboBox* box, int value)
{
    if (const int index = box->findData(value); index >= 0)
        box->setCurrentIndex(index);
}

QString describe(const DeviceConnection& c)
{
    QString text = QString::fromStdString(c.address) + ":" + QString::number(c.port);
    for (const Choice& version : kVersions)
        if (version.value == c.version)
            text += QString(" (") + version.text + ")";
    if (c.version == 3)
        text += " " + QString::fromStdString(c.securityName);
    return text;
}

} // namespace

TConnectForm::TConnectForm(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TConnectForm>())
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowIcon(ModuleIcon());
    fill(ui->CB_Version, kVersions);
    fill(ui->CB_SecurityLevel, kLevels);
    fill(ui->CB_AuthProtocol, kAuthProtocols);
    fill(ui->CB_PrivProtocol, kPrivProtocols);

    m_recent = m_recentFile.load();
    for (const RecentDevice& device : m_recent)
        ui->CB_Recent->addItem(describe(device.connection));
    ui->CB_Recent->setEnabled(!m_recent.empty());
    if (m_recent.empty())
        ShowConnection(DeviceConnection(), false);
    else
        CB_RecentChange(0);

    connect(ui->CB_Recent, &QComboBox::activated, this, [this](int index) { RunGuarded([&] { CB_RecentChange(index); }, this); });
    connect(ui->CB_Version, &QComboBox::currentIndexChanged, this, &TConnectForm::UpdateFields);
    connect(ui->CB_SecurityLevel, &QComboBox::currentIndexChanged, this, &TConnectForm::UpdateFields);
    WaitInputGate::Install();
    connect(ui->Bt_Connect, &QPushButton::clicked, this, &TConnectForm::Bt_ConnectClick);
    PrepareWindowAccessWhenShown(this);
    connect(ui->Bt_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    showProblem(ConnectionField::None, {});
}

TConnectForm::~TConnectForm() = default;

DeviceConnection TConnectForm::Connection() const
{
    DeviceConnection c;
    c.address = ui->Ed_Address->text().trimmed().toStdString();
    bool isNumber = false;
    const int port = ui->Ed_AgentPort->text().trimmed().toInt(&isNumber);
    c.port = isNumber ? port : 0;
    c.version = valueOf(ui->CB_Version);
    c.readCommunity = ui->Ed_ReadCommunity->text().toStdString();
    c.writeCommunity = ui->Ed_WriteCommunity->text().toStdString();
    c.securityName = ui->Ed_SecurityName->text().toStdString();
    c.securityLevel = valueOf(ui->CB_SecurityLevel);
    c.authProtocol = valueOf(ui->CB_AuthProtocol);
    c.privProtocol = valueOf(ui->CB_PrivProtocol);
    c.authPassword = ui->Ed_AuthPassword->text().toStdString();
    c.privPassword = ui->Ed_PrivPassword->text().toStdString();
    return c;
}

void TConnectForm::ShowConnection(const DeviceConnection& c, bool secretsKept)
{
    ui->Ed_Address->setText(QString::fromStdString(c.address));
    ui->Ed_AgentPort->setText(QString::number(c.port));
    choose(ui->CB_Version, c.version);
    ui->Ed_ReadCommunity->setText(QString::fromStdString(c.readCommunity));
    ui->Ed_WriteCommunity->setText(QString::fromStdString(c.writeCommunity));
    ui->Ed_SecurityName->setText(QString::fromStdString(c.securityName));
    choose(ui->CB_SecurityLevel, c.securityLevel);
    choose(ui->CB_AuthProtocol, c.authProtocol);
    choose(ui->CB_PrivProtocol, c.privProtocol);
    ui->Ed_AuthPassword->setText(QString::fromStdString(c.authPassword));
    ui->Ed_PrivPassword->setText(QString::fromStdString(c.privPassword));
    ui->CK_KeepSecrets->setChecked(secretsKept);
    UpdateFields();
}

void TConnectForm::CB_RecentChange(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_recent.size())
        return;
    ShowConnection(m_recent[static_cast<size_t>(index)].connection, m_recent[static_cast<size_t>(index)].secretsKept);
}

void TConnectForm::UpdateFields()
{
    const DeviceConnection c = Connection();
    ui->GB_Community->setEnabled(c.version != 3);
    ui->GB_User->setEnabled(c.version == 3);
    for (QWidget* field : {static_cast<QWidget*>(ui->CB_AuthProtocol), static_cast<QWidget*>(ui->Ed_AuthPassword)})
        field->setEnabled(c.usesAuthentication());
    for (QWidget* field : {static_cast<QWidget*>(ui->CB_PrivProtocol), static_cast<QWidget*>(ui->Ed_PrivPassword)})
        field->setEnabled(c.usesPrivacy());
}

void TConnectForm::Bt_ConnectClick() { RunGuarded([this] { connectToDevice(); }, this); }

QLabel* TConnectForm::problemLabel(ConnectionField field) const
{
    switch (field) {
    case ConnectionField::None: return nullptr;
    case ConnectionField::Address: return ui->La_AddressProblem;
    case ConnectionField::Community: return ui->La_CommunityProblem;
    case ConnectionField::SecurityName: return ui->La_SecurityNameProblem;
    case ConnectionField::AuthPassword: return ui->La_AuthPasswordProblem;
    case ConnectionField::PrivPassword: return ui->La_PrivPasswordProblem;
    }
    return nullptr;
}

// Shows the text beside the field at fault, hides the others, and takes the user to the field.
void TConnectForm::showProblem(ConnectionField field, const QString& text)
{
    QLineEdit* const edits[] = {nullptr, ui->Ed_Address, ui->Ed_ReadCommunity, ui->Ed_SecurityName,
                                ui->Ed_AuthPassword, ui->Ed_PrivPassword};
    for (ConnectionField each : {ConnectionField::Address, ConnectionField::Community, ConnectionField::SecurityName,
                                 ConnectionField::AuthPassword, ConnectionField::PrivPassword}) {
        QLabel* label = problemLabel(each);
        label->setText(each == field ? text : QString());
        label->setVisible(each == field);
        edits[static_cast<int>(each)]->setAccessibleDescription(each == field ? text : QString());
    }
    if (QLineEdit* edit = edits[static_cast<int>(field)]) {
        edit->setFocus();
        edit->selectAll();
    }
}

void TConnectForm::connectToDevice()
{
    const DeviceConnection c = Connection();
    if (const std::string problem = ConnectionProblem(c); !problem.empty()) {
        Dialogs::message(this, QString::fromStdString(problem), "Warning", DialogButtons::Ok, DialogIcon::Warning);
        return;
    }
    // The device is asked before anything is written; the window paints while it is awaited.
    showProblem(ConnectionField::None, {});
    bool cancelled = false;  // the window closed while the device was awaited
    // Closing the window (its close box, Escape, Cancel) ends the try at once.
    const QMetaObject::Connection closing = connect(this, &QDialog::rejected, this, [this, &cancelled] {
        cancelled = true;
        ExchangeWait::EndWaitsOf([this](const QObject* owner) { return owner == this; });
    });
    ui->Bt_Connect->setEnabled(false);
    const ConnectionTry tried = [&] {
        const auto restore = qScopeGuard([&] {
            ui->Bt_Connect->setEnabled(true);
            disconnect(closing);
        });
        const WindowWaits::Scope waits(this);
        return TryConnection(c);
    }();
    if (cancelled)
        return;
    if (tried.field != ConnectionField::None) {
        showProblem(tried.field, QString::fromStdString(tried.text));
        return;
    }
    const bool keepSecrets = ui->CK_KeepSecrets->isChecked();
    HostRegistry registry;
    std::string folder, error;
    if (!ParameterFileFolder(registry, folder, error)
        || !WriteParameterFile(ParameterFilePath(folder, c.address), ParameterFileKeys(c, keepSecrets), error)) {
        Dialogs::message(this, "The device's parameter file could not be written: " + QString::fromStdString(error),
                         "Error", DialogButtons::Ok, DialogIcon::Error);
        return;
    }
    // A list that cannot be kept costs the user some typing next time, not this connection.
    if (!m_recentFile.remember(c, keepSecrets, error))
        Dialogs::message(this, "The device could not be added to the recent devices: " + QString::fromStdString(error),
                         "Warning", DialogButtons::Ok, DialogIcon::Warning);
    m_parameterFile = ParameterFilePath(folder, c.address);
    m_arguments = ::ModuleArguments(c);
    accept();
}
