#include "pages/status/TFM_TrafficGraph.h"

#include "binding/DeviceVariables.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "binding/QvStatusBar.h"
#include "pages/status/TrafficChart.h"
#include "platform/TimeScale.h"
#include "shell/ModuleConstants.h"
#include "snmp/ValueText.h"
#include "ui_TFM_TrafficGraph.h"

#include <QTimer>

#include <cmath>

namespace {

// What one poll reads, in one get: the up time tells a restart apart from a quiet radio.
enum Item { kUpTime, kTransmitted, kReceived, kTransmitErrors, kReceiveErrors, kRetries };
const VariableDescriptor kPoll[] = {
    {"1.3.6.1.2.1.1.3.0", "sysUpTime", kSyntaxTimeTicks, kAccessReadOnly},
    DeviceVariables::TransmittedFrameCount1,
    DeviceVariables::ReceivedFrameCount1,
    DeviceVariables::TransmittedErrorCount1,
    DeviceVariables::ReceivedFrameFCSErrorCount1,
    DeviceVariables::TransmittedTotalRetryCount1,
    DeviceVariables::EndOfTable,
};

// The interval list's entries, in seconds (each divides a minute).
constexpr int kIntervals[] = {1, 2, 5, 10, 30, 60};

std::optional<uint32_t> CounterValue(const std::string& text)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 10)
        return std::nullopt;
    const unsigned long long value = std::stoull(text);
    if (value > 0xFFFFFFFFull)
        return std::nullopt;
    return static_cast<uint32_t>(value);
}

}  // namespace

TFM_TrafficGraph::TFM_TrafficGraph(QWidget* owner) : QvPage(owner), ui(std::make_unique<Ui::TFM_TrafficGraph>())
{
    m_clock.start();
    m_timeScale = TimeScale::factor();
    ui->setupUi(this);
    SetUpWindow(Placement::ScreenCentre);
    UseStatusBar(ui->StatusBar, {320, 320});
    Timer1 = NewTimer(kDefaultIntervalSeconds * 1000, [this] { Timer1Timer(); });
    Handle(ui->Bt_Close, &QPushButton::clicked, [this] { close(); });
    RunFormCreate([this] { FormCreate(); });
}

TFM_TrafficGraph::~TFM_TrafficGraph() = default;

void TFM_TrafficGraph::FormCreate()
{
    m_chart = std::make_unique<TrafficChart>(ui->CV_Traffic, kFirstBandTitle);
    ui->CB_Interval->setCurrentIndex(static_cast<int>(std::find(std::begin(kIntervals), std::end(kIntervals),
                                                                kDefaultIntervalSeconds) -
                                                      std::begin(kIntervals)));
    Handle(ui->CB_Interval, &QComboBox::currentIndexChanged, [this] { CB_IntervalChange(); });
    CB_IntervalChange();

    auto& counters = NewBinding<QvSNMPRequest2Edits>();
    counters.request.list.Assign(QvSNMPVarList(kPoll, kListSingleInstances, 0));
    counters.request.retries = 0;
    counters.OnGetDone = [this](QvSNMPRequest2Controls&, const QvSNMPError& record) {
        Guard([this, &record] { PollDone(record); });
    };
    CounterEdits = &counters;
}

void TFM_TrafficGraph::showEvent(QShowEvent* event)
{
    QvPage::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        Guard([this] { FormShow(); });
    }
}

void TFM_TrafficGraph::FormShow()
{
    m_firstPollSeconds = PageSeconds();
    Poll();
    Timer1->start();
}

void TFM_TrafficGraph::Timer1Timer()
{
    // A poll still waiting for its answer is not doubled; its time-out will leave the gap.
    if (CounterEdits && !CounterEdits->Busy)
        Poll();
}

void TFM_TrafficGraph::Poll()
{
    if (!CounterEdits)
        return;
    ++PollsSent;
    CounterEdits->Get();
}

void TFM_TrafficGraph::PollDone(const QvSNMPError& record)
{
    ++PollsEnded;
    std::optional<TrafficHistory::Counters> answer;
    QString status = QString::fromStdString(record.message);
    if (record.code == 0) {
        const QvSNMPVarList& list = CounterEdits->request.list;
        const auto upTime = ValueText::ParseTimeTicks(list.Item(kUpTime).value);
        std::optional<uint32_t> values[5];
        bool complete = upTime.has_value();
        for (int item = kTransmitted; item <= kRetries; ++item) {
            values[item - kTransmitted] = CounterValue(list.Item(item).value);
            complete = complete && values[item - kTransmitted];
        }
        if (complete)
            answer = TrafficHistory::Counters{*upTime, *values[0], *values[1], *values[2], *values[3], *values[4]};
        else
            status = "The device did not report its traffic counters.";
    }
    const double now = PageSeconds();
    m_history.Add(now, answer);
    m_chart->Draw(m_history, now, m_firstPollSeconds);
    ShowStatus(status);
}

void TFM_TrafficGraph::CB_IntervalChange()
{
    const int seconds = IntervalSeconds();
    Timer1->setInterval(std::max(1, static_cast<int>(std::lround(seconds * 1000 * m_timeScale))));
    // What the graph costs on the wire: one get a poll.
    ShowStatus(QString("1 get every %1 s, %2 a minute").arg(seconds).arg(60 / seconds), 1);
}

int TFM_TrafficGraph::IntervalSeconds() const
{
    const int index = ui->CB_Interval->currentIndex();
    return index >= 0 && index < static_cast<int>(std::size(kIntervals)) ? kIntervals[index] : kDefaultIntervalSeconds;
}

double TFM_TrafficGraph::PageSeconds() const { return m_clock.elapsed() / 1000.0 / m_timeScale; }

void TFM_TrafficGraph::done(int result)
{
    Timer1->stop();
    QvPage::done(result);
}
