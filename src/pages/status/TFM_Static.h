#pragma once

#include "binding/QvPage.h"

#include <memory>

namespace Ui {
class TFM_Static;
}
class QvSNMPRequest2Edits;

// "Status \ Stats": the traffic counters and rates of the radio, read when the page opens
// and on Refresh.
class TFM_Static : public QvPage {
    Q_OBJECT
public:
    explicit TFM_Static(QWidget* owner = nullptr);
    ~TFM_Static() override;

    void FormCreate();
    void Bt_RfrshAClick();

    std::unique_ptr<Ui::TFM_Static> ui;
    QvSNMPRequest2Edits* CounterEdits = nullptr;
};
