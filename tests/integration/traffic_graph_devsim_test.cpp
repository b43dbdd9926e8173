// The traffic graph page against the simulated device with moving counters, its requests
// counted on the wire by a relay between the page and the device.
#include "support/PageTestKit.h"
#include "support/LossyRelay.h"
#include "binding/QvStatusBar.h"
#include "pages/status/TFM_TrafficGraph.h"
#include "pages/status/TrafficChart.h"
#include "platform/TimeScale.h"
#include "snmp/SnmpSettings.h"

#include <QComboBox>
#include <QLineSeries>
#include <QTimer>

namespace {

constexpr int kFramesPerSecond = 10000;  // what the device transmits; it receives a quarter more

class TrafficGraph : public ::testing::Test {
protected:
    void SetUp() override
    {
        TimeScale::setFactor(0.05);  // a poll every 250 ms
        device = std::make_unique<DevsimAgent>(
            QStringList{"--traffic-rate", QString::number(kFramesPerSecond), "--restart-seconds", "1"});
        ASSERT_TRUE(device->start()) << device->error();
        relay = std::make_unique<LossyRelay>(device->port(), 0, 0, 1);  // loses nothing
        AimAt(relay->port());
    }
    void TearDown() override
    {
        TimeScale::setFactor(1.0);
        SetDefaultSnmpSettings();
    }

    // Waits until the page has had this many polls answered (or not) and none is under way.
    static bool pollsEnded(TFM_TrafficGraph& page, int polls)
    {
        return waitFor([&] { return page.PollsEnded >= polls && !page.AnyBindingBusy(); }, 20000);
    }
    // The points of a series as drawn, over all its lines.
    static int drawn(const TFM_TrafficGraph& page, TrafficHistory::Series series)
    {
        int points = 0;
        for (const QLineSeries* line : page.Chart().Lines(series))
            points += line->count();
        return points;
    }

    DialogRecorder recorder;
    std::unique_ptr<DevsimAgent> device;
    std::unique_ptr<LossyRelay> relay;
};

const TrafficHistory::Series kAllSeries[] = {TrafficHistory::Transmitted, TrafficHistory::Received,
                                             TrafficHistory::Errors, TrafficHistory::Retries};

TEST_F(TrafficGraph, EveryPollIsOneDatagramAndAddsOnePointToEachSeriesUntilThePageCloses)
{
    auto page = std::make_unique<TFM_TrafficGraph>();
    EXPECT_EQ(relay->fromClient(), 0) << "nothing is read before the page shows";
    page->show();
    for (int polls = 2; polls <= 6; ++polls) {
        ASSERT_TRUE(pollsEnded(*page, polls));
        const int ended = page->PollsEnded;
        for (TrafficHistory::Series series : kAllSeries) {
            EXPECT_EQ(page->History().Points(series), ended - 1) << TrafficChart::SeriesName(series).toStdString();
            EXPECT_EQ(drawn(*page, series), ended - 1) << TrafficChart::SeriesName(series).toStdString();
        }
    }
    EXPECT_EQ(relay->fromClient(), page->PollsSent) << "one datagram a poll";
    EXPECT_EQ(child<QvStatusBar>(page.get(), "StatusBar")->Panel(1)->Text(), "1 get every 5 s, 12 a minute");
    // The device's rates, measured on its own clock.
    for (const QPointF& point : page->History().Runs(TrafficHistory::Transmitted).front())
        EXPECT_NEAR(point.y(), kFramesPerSecond, kFramesPerSecond * 0.1);
    for (const QPointF& point : page->History().Runs(TrafficHistory::Received).front())
        EXPECT_NEAR(point.y(), kFramesPerSecond * 1.25, kFramesPerSecond * 0.125);

    // A shorter interval takes effect at once.
    child<QComboBox>(page.get(), "CB_Interval")->setCurrentText("1 s");
    EXPECT_EQ(page->Timer1->interval(), 50);
    EXPECT_EQ(child<QvStatusBar>(page.get(), "StatusBar")->Panel(1)->Text(), "1 get every 1 s, 60 a minute");

    page->close();
    ASSERT_TRUE(waitFor([&] { return !page->isVisible(); }));
    const int sent = relay->fromClient();
    runFor(1500);  // thirty of the short intervals
    EXPECT_EQ(relay->fromClient(), sent) << "the device still sees gets after the page closed";
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
}

TEST_F(TrafficGraph, ARestartStartsANewLineInsteadOfASpike)
{
    TFM_TrafficGraph page;
    page.show();
    ASSERT_TRUE(pollsEnded(page, 3));
    SnmpTarget target;
    target.address = "127.0.0.1";
    target.port = device->port();
    target.version = 1;
    target.writeCommunity = "private";
    target.timeout = 100;
    ASSERT_EQ(SnmpSession::global()
                  .request(target, PduKind::Set, {Bind(PrivateOid(".3.2.1.0"), 2 /* integer */, {}, 1)})
                  .status,
              0);
    // Silent for a second, then back with its counters from 0: two more points after that.
    ASSERT_TRUE(waitFor([&] { return page.History().Runs(TrafficHistory::Transmitted).size() == 2 &&
                                     page.History().Runs(TrafficHistory::Transmitted).back().size() >= 2; },
                        20000));
    for (const TrafficHistory::Run& run : page.History().Runs(TrafficHistory::Transmitted))
        for (const QPointF& point : run)
            EXPECT_NEAR(point.y(), kFramesPerSecond, kFramesPerSecond * 0.1) << "at " << point.x() << " s";
    EXPECT_EQ(page.Chart().Lines(TrafficHistory::Transmitted).size(), 2u) << "one line a run";
}

} // namespace
