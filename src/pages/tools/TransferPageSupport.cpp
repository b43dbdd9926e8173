#include "pages/tools/TransferPageSupport.h"

#include "platform/Dialogs.h"
#include "shell/ModuleConstants.h"
#include "snmp/QvException.h"
#include "snmp/QvOptionList.h"
#include "binding/QvStatusBar.h"
#include "tftp/QvTFTPServer.h"
#include "shell/TFM_Waiting.h"
#include "shell/TMainForm.h"
#include "snmp/VariableDescriptor.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>

namespace TransferPage {

namespace {

const OptionRow kTftpCommandRows[] = {{1, "Connect"}, {2, "Get"}, {3, "Put"}, {4, "Nothing"}, {0, nullptr}};
const QvOptionList kTftpCommands(kTftpCommandRows);

constexpr int kStandardTftpPort = 69;
// The device is busy with the file for as long as it takes: the dialog counts far beyond
// any transfer and the command's answer ends it.
constexpr int kTransferCountdown = 100;
constexpr int kRestartCountdown = 35;

// A page's TFTP status callback: the pages follow the transfer through the device's answer.
void IgnoreTftpStatus(QObject*, const QvTFTPMsg&, bool&) {}

// A dotted IPv4 address as a number; false for anything else (including an empty text).
bool ParseAddress(const QString& text, quint32& value)
{
    QHostAddress address;
    if (text.count('.') != 3 || !address.setAddress(text.trimmed())
        || address.protocol() != QAbstractSocket::IPv4Protocol)
        return false;
    value = address.toIPv4Address();
    return true;
}

QLabel* Label(TFM_Waiting* dialog, const char* name) { return dialog->findChild<QLabel*>(name); }

} // namespace

const VariableDescriptor kTftpCommand[] = {
    {"1.3.6.1.4.1.32473.10.37.24.3.3.5", "tftpcommand", kSyntaxInteger, kAccessReadWrite, &kTftpCommands},
    {nullptr, nullptr, 0, 0},
};

int TftpServerPort()
{
    const QByteArray text = qgetenv("VTA_TFTP_PORT").trimmed();
    if (text.isEmpty())
        return kStandardTftpPort;
    bool ok = false;
    const int port = text.toInt(&ok);
    return ok && port > 0 && port <= 65535 ? port : -1;
}

std::unique_ptr<QvTFTPServer> StartTftpServer(QWidget* form, int timeout)
{
    try {
        auto server = std::make_unique<QvTFTPServer>(form);
        server->SetRetransmission(timeout, 3);
        server->SetNotify(IgnoreTftpStatus, form);
        // Nothing is served until a file is chosen: an empty folder serves no file.
        server->Listen("", TftpServerPort());
        return server;
    } catch (const QvException& error) {
        Dialogs::message(form, "TFTP Service Init Error:" + QString::fromStdString(error.what()), ModelName);
        // Every event loop ends, so the page's own modal loop returns at once.
        QCoreApplication::exit(1);
        return nullptr;
    }
}

QString ServerAddressFor(const std::vector<LocalInterface>& interfaces, const QString& deviceAddress,
                         const QString& deviceMask)
{
    quint32 device = 0, mask = 0;
    if (!ParseAddress(deviceAddress, device) || !ParseAddress(deviceMask, mask))
        return {};
    const quint32 network = device & mask;
    for (size_t i = 0; i < interfaces.size() && i < kMaxLocalInterfaces; ++i) {
        quint32 address = 0, interfaceMask = 0;
        const QString addressText = QString::fromStdString(interfaces[i].address);
        if (ParseAddress(addressText, address)
            && ParseAddress(QString::fromStdString(interfaces[i].netmask), interfaceMask)
            && (address & interfaceMask) == network)
            return addressText;
    }
    return {};
}

QString ServerAddressForDevice()
{
    const TMainForm* main = MainForm();
    if (!main)
        return {};
    std::vector<LocalInterface> interfaces;
    LocalInterfaces(interfaces);
    return ServerAddressFor(interfaces, main->IPAddressEdit->text(), main->SubMaskEdit->text());
}

int LastSeparator(const QString& path) { return std::max(path.lastIndexOf('/'), path.lastIndexOf('\\')); }

QString FolderPart(const QString& path, int separator)
{
    return separator == 0 ? path.left(1) : path.left(separator);
}

bool FileExists(const QString& path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.exists() && !info.isDir();
}

void AddStatusPanel(QvStatusBar* statusBar)
{
    QvStatusPanel* panel = statusBar->AddPanel(50);
    // The bar's last panel reaches to its right edge, so long results stay readable.
    panel->setMinimumWidth(50);
    panel->setMaximumWidth(QWIDGETSIZE_MAX);
    statusBar->removeWidget(panel);
    statusBar->addWidget(panel, 1);
    panel->show();
}

void Warn(QWidget* parent, const QString& text)
{
    Dialogs::message(parent, text, "Warning", DialogButtons::Ok, DialogIcon::Warning);
}

void Plain(QWidget* parent, const QString& text) { Dialogs::message(parent, text, ModelName); }

std::unique_ptr<TFM_Waiting> NewTransferWait(const QString& activity)
{
    auto dialog = std::make_unique<TFM_Waiting>();
    dialog->SendReboot = false;
    Label(dialog.get(), "Label3")->setText(activity);
    Label(dialog.get(), "Label1")->setText("Please wait ....");
    Label(dialog.get(), "seconds")->hide();
    Label(dialog.get(), "La_Time")->hide();
    dialog->Countdown = kTransferCountdown;
    return dialog;
}

void RestartAfterTransfer(TFM_Waiting* dialog)
{
    if (!dialog)
        return;  // the dialog gave up before the device answered
    dialog->Countdown = kRestartCountdown;
    dialog->SendReboot = true;
    Label(dialog, "La_Time")->setText(QString::number(kRestartCountdown));
    Label(dialog, "Label3")->setText("The device is restarting...");
    Label(dialog, "Label1")->setText("Please waiting for ");
    Label(dialog, "seconds")->show();
    Label(dialog, "La_Time")->show();
}

void EndTransferWait(TFM_Waiting* dialog)
{
    if (dialog)
        dialog->Countdown = 1;
}

} // namespace TransferPage
