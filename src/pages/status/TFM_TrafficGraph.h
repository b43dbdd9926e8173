#pragma once

#include "binding/QvPage.h"
#include "pages/status/TrafficHistory.h"

#include <QElapsedTimer>

#include <memory>

namespace Ui {
class TFM_TrafficGraph;
}
class QTimer;
class QvSNMPRequest2Edits;
class TrafficChart;
struct QvSNMPError;

// "Status \ Traffic Graph": radio 1's frames per second transmitted and received, errors and
// retries per second, over the last 15 minutes. While the page is open it reads the device's
// up time and the radio's counters with one get (one datagram, no retry: a lost poll is a gap)
// every few seconds, 5 by default; closing it ends the polls.
class TFM_TrafficGraph : public QvPage {
    Q_OBJECT
public:
    explicit TFM_TrafficGraph(QWidget* owner = nullptr);
    ~TFM_TrafficGraph() override;

    void FormCreate();
    void FormShow();
    void Timer1Timer();
    void CB_IntervalChange();

    // The poll interval the page starts with, in seconds.
    static constexpr int kDefaultIntervalSeconds = 5;

    std::unique_ptr<Ui::TFM_TrafficGraph> ui;
    QvSNMPRequest2Edits* CounterEdits = nullptr;
    QTimer* Timer1 = nullptr;
    int PollsSent = 0;
    int PollsEnded = 0;  // answered or not
    const TrafficHistory& History() const { return m_history; }
    const TrafficChart& Chart() const { return *m_chart; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void Poll();
    void PollDone(const QvSNMPError& record);
    // The page's clock in seconds: real time over the time scale the page was opened with,
    // so a sped-up page fills its graph in step with its polls.
    double PageSeconds() const;
    int IntervalSeconds() const;

    TrafficHistory m_history;
    std::unique_ptr<TrafficChart> m_chart;
    QElapsedTimer m_clock;
    double m_timeScale = 1;
    double m_firstPollSeconds = 0;
    bool m_shown = false;
};
