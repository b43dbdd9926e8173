#pragma once

#include "pages/tools/TransferPageBase.h"
#include "pages/tools/TransferPageSupport.h"

#include <memory>

namespace Ui {
class TFM_CfgFile;
}
struct QvSNMPError;

// "Tools \ Configuration File": copies the device's configuration file between the device
// and this PC with the page's TFTP server. A restore (OK under "Update Configuration File")
// has the device fetch a file and restart under the wait dialog; a backup (OK under "Load
// Settings to Local Hard Drive") has the device store its file in the chosen folder.
class TFM_CfgFile : public TransferPageBase {
    Q_OBJECT
public:
    explicit TFM_CfgFile(QWidget* owner = nullptr);
    ~TFM_CfgFile() override;

    void FormCreate();
    void Bt_BrowseClick();
    void Bt_SavBrwClick();
    void Bt_OKClick();      // restore
    void Bt_UploadClick();  // backup

    std::unique_ptr<Ui::TFM_CfgFile> ui;
    // Which direction the command's answer belongs to.
    bool Backup() const { return m_backup; }

private:
    void CommandSetDone(const QvSNMPError& record);
    // Fills Ed_TfpSrv with this PC's address on the device's network; false (after saying
    // so) when there is none.
    bool FillServerAddress();
    int ServeFolderOf(const QString& path, TransferPage::TransferDirection direction);

    bool m_backup = false;
};
