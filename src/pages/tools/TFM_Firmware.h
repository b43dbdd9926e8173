#pragma once

#include "pages/tools/TransferPageBase.h"

#include <memory>

namespace Ui {
class TFM_Firmware;
}
struct QvSNMPError;

// "Tools \ Firmware": offers a firmware image (a ".tfp" file) to the device. While the page
// is open its TFTP server listens; OK serves the image's folder, tells the device this PC's
// address and the bare file name, and sends the command that makes the device fetch it.
// The wait dialog covers the transfer and, when the device took the image, its restart.
class TFM_Firmware : public TransferPageBase {
    Q_OBJECT
public:
    explicit TFM_Firmware(QWidget* owner = nullptr);
    ~TFM_Firmware() override;

    void FormCreate();
    void Bt_BrowseClick();
    void Bt_OKClick();

    std::unique_ptr<Ui::TFM_Firmware> ui;

private:
    void CommandSetDone(const QvSNMPError& record);
};
