#pragma once

#include "pages/status/TrafficHistory.h"

#include <QString>

#include <array>
#include <vector>

class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;

// The traffic graph's chart in a chart view: frames per second against the left axis, errors
// and retries per second against the right one, minutes ago along the bottom with now at the
// right edge. The time axis grows with the page's age up to the history's window. Each run of
// a series is a line of its own in the series' colour; the legend names each series once.
class TrafficChart {
public:
    TrafficChart(QChartView* view, const QString& title);

    // Draws the history as it stands at nowSeconds of the page's clock; openedSeconds is when
    // the page began to poll.
    void Draw(const TrafficHistory& history, double nowSeconds, double openedSeconds);

    // What each series is called in the legend.
    static QString SeriesName(TrafficHistory::Series series);
    // The lines of a series as drawn, one per run (at least one, so the legend names it).
    const std::vector<QLineSeries*>& Lines(TrafficHistory::Series series) const { return m_lines[series]; }

private:
    QLineSeries* NewLine(TrafficHistory::Series series);

    QChart* m_chart;
    QValueAxis* m_minutesAgo;
    QValueAxis* m_frames;
    QValueAxis* m_events;
    std::array<std::vector<QLineSeries*>, TrafficHistory::kSeriesCount> m_lines;
};
