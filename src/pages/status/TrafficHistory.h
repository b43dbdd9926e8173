#pragma once

#include "pages/status/CounterRate.h"

#include <QPointF>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// What the traffic graph draws: the radio's rates per second over the last minutes, each
// series as runs of points (x: the page's clock in seconds, y: the rate). A poll that brings
// no point for a series (no answer, the first answer, a restart) ends that series' run, so
// the graph shows a gap there rather than a line across it.
class TrafficHistory {
public:
    enum Series { Transmitted, Received, Errors, Retries, kSeriesCount };
    using Run = std::vector<QPointF>;

    // One answer of the device: its up time and radio 1's counters.
    struct Counters {
        uint32_t upTimeTicks = 0;  // hundredths of a second since the device started
        uint32_t transmitted = 0;
        uint32_t received = 0;
        uint32_t transmitErrors = 0;
        uint32_t receiveErrors = 0;  // frames received with a bad checksum
        uint32_t retries = 0;
    };

    // How far back points are kept, in seconds of the page's clock.
    explicit TrafficHistory(double windowSeconds = 15 * 60) : m_window(windowSeconds) {}

    // The outcome of one poll at pageSeconds: the device's answer, or nothing when it gave none.
    void Add(double pageSeconds, const std::optional<Counters>& answer);

    const std::vector<Run>& Runs(Series series) const { return m_series[series].runs; }
    // The points of a series over all its runs.
    int Points(Series series) const;
    double WindowSeconds() const { return m_window; }

private:
    struct SeriesState {
        std::vector<Run> runs;
        bool runOpen = false;  // the next point continues the last run
    };
    void Append(Series series, double pageSeconds, std::optional<double> rate);
    void Forget(double before);

    double m_window;
    std::optional<uint32_t> m_lastUpTime;
    // One per counter: transmitted, received, transmit errors, receive errors, retries.
    std::array<CounterRate, 5> m_rates;
    std::array<SeriesState, kSeriesCount> m_series;
};
