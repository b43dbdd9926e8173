#pragma once

#include "binding/QvPage.h"
#include "pages/tools/TransferPageSupport.h"
#include "shell/TFM_Waiting.h"

#include <QPointer>
#include <memory>

namespace Ui {
class TFM_CfgFile;
}
class QvSNMPRequest2Edits;
class QvTFTPServer;
struct QvSNMPError;

// "Tools \ Configuration File": copies the device's configuration file between the device
// and this PC with the page's TFTP server. A restore (OK under "Update Configuration File")
// has the device fetch a file and restart under the wait dialog; a backup (OK under "Load
// Settings to Local Hard Drive") has the device store its file in the chosen folder.
class TFM_CfgFile : public QvPage {
    Q_OBJECT
public:
    explicit TFM_CfgFile(QWidget* owner = nullptr);
    ~TFM_CfgFile() override;

    void FormCreate();
    void Bt_BrowseClick();
    void Bt_SavBrwClick();
    void Bt_OKClick();      // restore
    void Bt_UploadClick();  // backup
    bool FormCloseQuery();

    std::unique_ptr<Ui::TFM_CfgFile> ui;
    // remotesrvip, remotefilename and localfilename (waiting: on the device before the command).
    QvSNMPRequest2Edits* ServerEdits = nullptr;
    // tftpcommand, answered by the device when the transfer has ended.
    QvSNMPRequest2Edits* CommandEdits = nullptr;
    QvTFTPServer* TftpServer() const { return m_server.get(); }
    // Which direction the command's answer belongs to.
    bool Backup() const { return m_backup; }
    TFM_Waiting* Waiting() const { return m_waiting; }

protected:
    void done(int result) override;

private:
    void CommandSetDone(const QvSNMPError& record);
    // Fills Ed_TfpSrv with this PC's address on the device's network; false (after saying
    // so) when there is none.
    bool FillServerAddress();
    int ServeFolderOf(const QString& path, TransferPage::TransferDirection direction);

    std::unique_ptr<QvTFTPServer> m_server;
    QPointer<TFM_Waiting> m_waiting;
    bool m_backup = false;
};
