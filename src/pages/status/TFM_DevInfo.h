#pragma once

#include "binding/QvPage.h"

#include <memory>

namespace Ui {
class TFM_DevInfo;
}
class QvSNMPRequest2Edits;

// "Status \ Device Info": the firmware, MAC address and Ethernet settings the device runs,
// and the running settings of its radio. Read-only; Refresh reads the radio part again.
class TFM_DevInfo : public QvPage {
    Q_OBJECT
public:
    explicit TFM_DevInfo(QWidget* owner = nullptr);
    ~TFM_DevInfo() override;

    void FormCreate();
    void Bt_RefaClick();

    std::unique_ptr<Ui::TFM_DevInfo> ui;
    QvSNMPRequest2Edits* RadioEdits = nullptr;   // SSID, channel, data rate, authentication
    QvSNMPRequest2Edits* DeviceEdits = nullptr;  // firmware, MAC, Ethernet
};
