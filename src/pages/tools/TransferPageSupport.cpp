#include "pages/tools/TransferPageSupport.h"

#include "platform/Dialogs.h"
#include "shell/ModuleConstants.h"
#include "snmp/QvException.h"
#include "snmp/QvOptionList.h"
#include "binding/QvStatusBar.h"
#include "tftp/QvTFTPServer.h"
#include "shell/RestartWait.h"
#include "shell/TFM_Waiting.h"
#include "binding/DeviceVariables.h"
#include "shell/DeviceCapabilities.h"
#include "snmp/VariableDescriptor.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHostAddress>
#include <QHostInfo>
#include <QLabel>
#include <QLineEdit>

namespace TransferPage {

namespace {

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

// The address the device's requests come from: the address the module was started for,
// resolved when it is a host name; a null address (nothing matches it) when it cannot be.
QHostAddress DeviceTransferAddress()
{
    const QString text = Capabilities().DeviceAddress();
    const QHostAddress literal(text);
    if (!literal.isNull())
        return literal;
    for (const QHostAddress& address : QHostInfo::fromName(text).addresses())
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            return address;
    return {};
}

} // namespace

const VariableDescriptor kTftpCommand[] = {DeviceVariables::TftpCommand, DeviceVariables::EndOfTable};

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
        // Nothing is served until a file is chosen, and then only to the device.
        server->AdmitOnlyExpected(true);
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

void ServeToDevice(QvTFTPServer& server, const QString& folder, const QString& fileName,
                   TransferDirection direction)
{
    // The server keeps its socket; only the folder and the one admitted transfer change.
    server.Listen(folder, TftpServerPort());
    server.ForgetAll();
    server.Expect({DeviceTransferAddress(), fileName, direction});
}

QString ServerAddressForDevice()
{
    std::vector<LocalInterface> interfaces;
    LocalInterfaces(interfaces);
    return ServerAddressFor(interfaces, Capabilities().IpAddress(), Capabilities().SubnetMask());
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

void Warn(QWidget* parent, const QString& text)
{
    Dialogs::message(parent, text, "Warning", DialogButtons::Ok, DialogIcon::Warning);
}

void Plain(QWidget* parent, const QString& text) { Dialogs::message(parent, text, ModelName); }

std::unique_ptr<TFM_Waiting> NewTransferWait(const QString& activity)
{
    return NewRestartWait({.countdown = kTransferCountdown,
                           .sendReboot = false,
                           .secondLine = activity,
                           .countdownLine = "Please wait ....",
                           .showCountdown = false});
}

void RestartAfterTransfer(TFM_Waiting* dialog)
{
    ReshapeRestartWait(dialog, {.countdown = kRestartCountdown,
                                .secondLine = "The device is restarting...",
                                .countdownLine = "Please waiting for "});
}

void EndTransferWait(TFM_Waiting* dialog)
{
    if (dialog)
        dialog->Countdown = 1;
}

} // namespace TransferPage
