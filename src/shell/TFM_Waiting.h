#pragma once

#include "binding/QvPage.h"

#include <QTimer>

#include <cstdint>
#include <memory>

namespace Ui {
class TFM_Waiting;
}

// Covers a device restart: sends the restart command itself (unless told not to), counts
// down one step per 1.2 s tick and closes once the main window's status reads "Ready. "
// again, or after waiting more than five ticks at 1. The user cannot close it while it counts.
// Openers may change Label1..Label3 and hide La_Time and seconds; also used as a timed pause.
class TFM_Waiting : public QvPage {
    Q_OBJECT
public:
    explicit TFM_Waiting(QWidget* owner = nullptr);
    ~TFM_Waiting() override;

    int32_t Countdown = 40;
    int32_t RebootDelay = 1;  // ticks before the restart command leaves
    bool SendReboot = true;

    void Timer1Timer();
    bool FormCloseQuery();

    std::unique_ptr<Ui::TFM_Waiting> ui;
    QTimer Timer1;

    bool RebootPending() const { return m_rebootPending; }
    int32_t OverdueTicks() const { return m_overdueTicks; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    bool deviceReady() const;
    void sendRestart();

    bool m_rebootPending = true;
    int32_t m_overdueTicks = 0;
};
