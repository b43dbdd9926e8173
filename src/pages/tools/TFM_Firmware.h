#pragma once

#include "binding/QvPage.h"
#include "shell/TFM_Waiting.h"

#include <QPointer>
#include <memory>

namespace Ui {
class TFM_Firmware;
}
class QvSNMPRequest2Edits;
class QvTFTPServer;
struct QvSNMPError;

// "Tools \ Firmware": offers a firmware image (a ".tfp" file) to the device. While the page
// is open its TFTP server listens; OK serves the image's folder, tells the device this PC's
// address and the bare file name, and sends the command that makes the device fetch it.
// The wait dialog covers the transfer and, when the device took the image, its restart.
class TFM_Firmware : public QvPage {
    Q_OBJECT
public:
    explicit TFM_Firmware(QWidget* owner = nullptr);
    ~TFM_Firmware() override;

    void FormCreate();
    void Bt_BrowseClick();
    void Bt_OKClick();
    bool FormCloseQuery();

    std::unique_ptr<Ui::TFM_Firmware> ui;
    // remotesrvip and remotefilename, from Ed_TfpSrv and Ed_UpgFile.
    QvSNMPRequest2Edits* ServerEdits = nullptr;
    // tftpcommand, answered by the device when the transfer has ended.
    QvSNMPRequest2Edits* CommandEdits = nullptr;
    QvTFTPServer* TftpServer() const { return m_server.get(); }
    // The wait dialog while an upgrade runs; null otherwise.
    TFM_Waiting* Waiting() const { return m_waiting; }

protected:
    void done(int result) override;

private:
    void CommandSetDone(const QvSNMPError& record);

    std::unique_ptr<QvTFTPServer> m_server;
    QPointer<TFM_Waiting> m_waiting;
};
