#pragma once

#include "binding/QvPage.h"
#include "shell/TFM_Waiting.h"

#include <QPointer>

#include <functional>
#include <memory>

class QComboBox;
class QvSNMPRequest2Edits;
class QvStatusBar;
class QvTFTPServer;
struct QvSNMPError;

// What the firmware page and the configuration-file page are made of besides their forms:
// the TFTP server they run while open, the binding of the server address and file names,
// the binding of the command whose answer ends a transfer, the wait dialog, and closing,
// which stops the server.
class TransferPageBase : public QvPage {
    Q_OBJECT
public:
    ~TransferPageBase() override;

    // Releases the bindings and stops the server; sessions still running may finish.
    bool FormCloseQuery();

    // remotesrvip and the file names, from the page's edits.
    QvSNMPRequest2Edits* ServerEdits = nullptr;
    // tftpcommand, answered by the device when the transfer has ended.
    QvSNMPRequest2Edits* CommandEdits = nullptr;
    QvTFTPServer* TftpServer() const { return m_server.get(); }
    // The wait dialog while a transfer runs; null otherwise.
    TFM_Waiting* Waiting() const { return m_waiting; }

protected:
    explicit TransferPageBase(QWidget* owner);
    void done(int result) override;

    // Started first: a page whose bindings could not be made still frees the port on closing.
    void StartServer(int tftpTimeout);
    // The command binding on `command`, reporting to `statusBar`; `answered` runs when the
    // device has answered the command (or the exchange failed).
    void BindCommand(QComboBox* command, QvStatusBar* statusBar, uint32_t timeout,
                     std::function<void(const QvSNMPError&)> answered);
    // Whether the page has what a transfer needs and none is under way; it said what was
    // missing when it opened, and says so when the device still answers a command.
    bool ReadyForTransfer();

    std::unique_ptr<QvTFTPServer> m_server;
    QPointer<TFM_Waiting> m_waiting;
};
