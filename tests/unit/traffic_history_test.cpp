// What the traffic graph keeps of its polls: runs of rates per series, broken where a poll
// brought no point, measured on the device's clock, forgotten after the window.
#include "pages/status/TrafficHistory.h"

#include <gtest/gtest.h>

namespace {

using Counters = TrafficHistory::Counters;

// The device after `seconds` of traffic at these rates per second, its up time as given.
Counters At(double upSeconds, double seconds, uint32_t base = 0)
{
    const auto count = [&](double perSecond) { return static_cast<uint32_t>(base + perSecond * seconds); };
    return {static_cast<uint32_t>(upSeconds * 100), count(100), count(150), count(1), count(2), count(6)};
}

std::vector<size_t> RunLengths(const TrafficHistory& history, TrafficHistory::Series series)
{
    std::vector<size_t> lengths;
    for (const TrafficHistory::Run& run : history.Runs(series))
        lengths.push_back(run.size());
    return lengths;
}

TEST(TrafficHistory, SteadyPollsAddOnePointEachAfterTheFirst)
{
    TrafficHistory history;
    for (int poll = 0; poll < 4; ++poll)
        history.Add(poll * 5, At(1000 + poll * 5, poll * 5));
    for (auto series : {TrafficHistory::Transmitted, TrafficHistory::Received, TrafficHistory::Errors,
                        TrafficHistory::Retries})
        EXPECT_EQ(RunLengths(history, series), std::vector<size_t>{3}) << series;
    const TrafficHistory::Run& received = history.Runs(TrafficHistory::Received).front();
    EXPECT_DOUBLE_EQ(received.front().x(), 5);
    EXPECT_DOUBLE_EQ(received.front().y(), 150);
    EXPECT_DOUBLE_EQ(history.Runs(TrafficHistory::Errors).front().back().y(), 3) << "sent and received errors";
    EXPECT_DOUBLE_EQ(history.Runs(TrafficHistory::Retries).front().back().y(), 6);
}

TEST(TrafficHistory, RatesFollowTheDevicesClockNotThePages)
{
    // The page's polls come late (its clock says 10 s apart); the device counted for 5 s.
    TrafficHistory history;
    history.Add(0, At(100, 0));
    history.Add(10, At(105, 5));
    EXPECT_DOUBLE_EQ(history.Runs(TrafficHistory::Transmitted).front().front().y(), 100);
}

TEST(TrafficHistory, AMissedPollOrARestartBreaksTheLineWithoutASpike)
{
    TrafficHistory history;
    history.Add(0, At(100, 0));
    history.Add(5, At(105, 5));
    history.Add(10, std::nullopt);       // no answer
    history.Add(15, At(115, 15));        // measured over the 10 s since the last answer
    history.Add(20, At(120, 20));
    // Restarted, and in the silence the counters passed where they stood: only the up time tells.
    history.Add(25, At(2, 2, 3000));
    history.Add(30, At(7, 7, 3000));
    EXPECT_EQ(RunLengths(history, TrafficHistory::Transmitted), (std::vector<size_t>{1, 2, 1}));
    for (const TrafficHistory::Run& run : history.Runs(TrafficHistory::Transmitted))
        for (const QPointF& point : run)
            EXPECT_DOUBLE_EQ(point.y(), 100) << "at " << point.x();
}

TEST(TrafficHistory, PointsOlderThanTheWindowFallAway)
{
    TrafficHistory history(60);
    for (int poll = 0; poll <= 20; ++poll) {
        history.Add(poll * 5, poll == 6 ? std::nullopt : std::optional<Counters>(At(poll * 5, poll * 5)));
    }
    // At 100 s the window reaches back to 40 s: the run before the gap at 30 s has gone.
    EXPECT_EQ(RunLengths(history, TrafficHistory::Transmitted), std::vector<size_t>{13});
    EXPECT_DOUBLE_EQ(history.Runs(TrafficHistory::Transmitted).front().front().x(), 40);
    history.Add(105, At(105, 105));
    EXPECT_EQ(history.Points(TrafficHistory::Transmitted), 13) << "one in, one out";
}

} // namespace
