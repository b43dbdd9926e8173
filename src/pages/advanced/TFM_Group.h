#pragma once

#include "binding/QvPage.h"

#include <memory>

namespace Ui {
class TFM_Group;
}
class QvSNMPRequest2Edits;

// "Advanced \ Grouping": load balancing between the access points of a group, the most
// stations per access point while it is on, link integration (the radio follows the
// Ethernet link) and the link's state. A successful Apply restarts the device.
class TFM_Group : public QvPage {
    Q_OBJECT
public:
    explicit TFM_Group(QWidget* owner = nullptr);
    ~TFM_Group() override;

    void FormCreate();
    void Bt_ApplyClick();
    void Bt_RefreshClick();
    void Bt_CancelClick();
    void CB_LoadBChange();

    std::unique_ptr<Ui::TFM_Group> ui;
    QvSNMPRequest2Edits* GroupEdits = nullptr;

private:
    // The user limit can be typed only while load balancing is on.
    void ApplyUserLimitRule();
};
