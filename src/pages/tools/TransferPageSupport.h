#pragma once

#include "platform/LocalInterfaces.h"

#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

struct VariableDescriptor;
class QObject;
class QvStatusBar;
class QvTFTPServer;
class QWidget;
class TFM_Waiting;

// What the firmware page and the configuration-file page share: the TFTP server they run
// while open, the PC address they give the device, the path rules and the wait dialog.
namespace TransferPage {

// The device's TFTP command (1 firmware, 2 fetch a configuration, 3 store the
// configuration), with its option list "Connect", "Get", "Put", "Nothing".
extern const VariableDescriptor kTftpCommand[];

// The UDP port the pages' TFTP server listens on: 69, or the number in the environment
// variable VTA_TFTP_PORT (tests and demos that cannot use a privileged port). A value
// that is no port number makes the server's start fail, so a typo never goes unnoticed.
int TftpServerPort();

// Starts the page's TFTP server serving nothing yet. When the port cannot be had, shows
// "TFTP Service Init Error:" with the server's message and ends the application (the page
// closes as soon as it is shown); returns null then.
std::unique_ptr<QvTFTPServer> StartTftpServer(QWidget* form, int timeout);

// The device's transfer directions as the TFTP server counts them.
enum TransferDirection { DeviceReads = 1, DeviceWrites = 2 };

// Serves the folder for the one transfer the command asks of the device: only the
// device's request for this file name in this direction is answered; every other
// request, from any host, is refused.
void ServeToDevice(QvTFTPServer& server, const QString& folder, const QString& fileName,
                   TransferDirection direction);

// The address of the first local interface whose network (address AND mask) is the
// device's; empty when none is, or when the device's address or mask is not known.
QString ServerAddressFor(const std::vector<LocalInterface>& interfaces, const QString& deviceAddress,
                         const QString& deviceMask);
// The same for this PC's interfaces and the address and mask the main window polled.
QString ServerAddressForDevice();

// Position of the last folder separator: "/" on this platform, "\" in Windows-style paths.
int LastSeparator(const QString& path);
// The folder part of a path cut at separator (the file system's root for a leading "/").
QString FolderPart(const QString& path, int separator);
// Whether the path names an existing file (not a folder), relative to the working folder
// when it is not absolute.
bool FileExists(const QString& path);

// A message box with an OK button: caption "Warning", or the plain kind with the
// application's title.
void Warn(QWidget* parent, const QString& text);
void Plain(QWidget* parent, const QString& text);

// The wait dialog shown while the device transfers a file: no restart command, long
// countdown, texts of the transfer. Owned by the caller.
std::unique_ptr<TFM_Waiting> NewTransferWait(const QString& activity);
// The device took the file: the dialog now restarts it and counts down 35 steps.
void RestartAfterTransfer(TFM_Waiting* dialog);
// The device refused, or never answered: the dialog closes within a few ticks.
void EndTransferWait(TFM_Waiting* dialog);

} // namespace TransferPage
