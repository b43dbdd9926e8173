#pragma once

#include "binding/QvPage.h"

#include <memory>

namespace Ui {
class TFM_Misc;
}
class QvSNMPRequest2Edits;

// "Tools \ Misc.": the device's console (telnet) access with its idle timeout, and its SNMP
// agent. A successful Apply restarts the device.
class TFM_Misc : public QvPage {
    Q_OBJECT
public:
    explicit TFM_Misc(QWidget* owner = nullptr);
    ~TFM_Misc() override;

    void FormCreate();
    void Bt_RfreshClick();
    void Bt_ApplyClick();
    // The timeout can be chosen only while the console is enabled.
    void CB_StatusClick();

    std::unique_ptr<Ui::TFM_Misc> ui;
    QvSNMPRequest2Edits* ConsoleEdits = nullptr;
};
