#include "pages/status/TrafficChart.h"

#include <QChart>
#include <QChartView>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

struct Look {
    const char* name;
    QColor colour;
    bool frames;  // against the frames axis, else the errors and retries axis
};

const Look kLooks[TrafficHistory::kSeriesCount] = {
    {"Transmitted frames/s", QColor(0x1f, 0x77, 0xb4), true},
    {"Received frames/s", QColor(0x2c, 0xa0, 0x2c), true},
    {"Errors/s", QColor(0xd6, 0x27, 0x28), false},
    {"Retries/s", QColor(0xff, 0x7f, 0x0e), false},
};

// The axis from 0 to a round figure above the largest value shown (1 when nothing is).
void FitAxis(QValueAxis* axis, double largest)
{
    axis->setRange(0, largest > 0 ? largest * 1.1 : 1);
    axis->applyNiceNumbers();
}

}  // namespace

TrafficChart::TrafficChart(QChartView* view, const QString& title) : m_chart(new QChart)
{
    m_chart->setTitle(title);
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    m_minutesAgo = new QValueAxis;
    m_minutesAgo->setTitleText("minutes ago");
    m_minutesAgo->setReverse(true);  // now at the right edge
    m_frames = new QValueAxis;
    m_frames->setTitleText("frames/s");
    m_frames->setLabelFormat("%.0f");
    m_events = new QValueAxis;
    m_events->setTitleText("errors, retries/s");
    m_events->setLabelFormat("%.1f");
    m_chart->addAxis(m_minutesAgo, Qt::AlignBottom);
    m_chart->addAxis(m_frames, Qt::AlignLeft);
    m_chart->addAxis(m_events, Qt::AlignRight);
    view->setChart(m_chart);  // the view owns the chart from here
    view->setRenderHint(QPainter::Antialiasing);
    for (int series = 0; series < TrafficHistory::kSeriesCount; ++series)
        NewLine(static_cast<TrafficHistory::Series>(series));
    Draw(TrafficHistory(), 0, 0);
}

QString TrafficChart::SeriesName(TrafficHistory::Series series) { return kLooks[series].name; }

QLineSeries* TrafficChart::NewLine(TrafficHistory::Series series)
{
    const Look& look = kLooks[series];
    auto* line = new QLineSeries;
    line->setName(look.name);
    line->setPen(QPen(look.colour, 2));
    m_chart->addSeries(line);
    line->attachAxis(m_minutesAgo);
    line->attachAxis(look.frames ? m_frames : m_events);
    // The series' first line stands for it in the legend.
    if (!m_lines[series].empty())
        for (QLegendMarker* marker : m_chart->legend()->markers(line))
            marker->setVisible(false);
    m_lines[series].push_back(line);
    return line;
}

void TrafficChart::Draw(const TrafficHistory& history, double nowSeconds, double openedSeconds)
{
    double largestFrames = 0, largestEvents = 0;
    for (int s = 0; s < TrafficHistory::kSeriesCount; ++s) {
        const auto series = static_cast<TrafficHistory::Series>(s);
        const std::vector<TrafficHistory::Run>& runs = history.Runs(series);
        std::vector<QLineSeries*>& lines = m_lines[s];
        double& largest = kLooks[s].frames ? largestFrames : largestEvents;
        while (lines.size() < std::max<size_t>(1, runs.size()))
            NewLine(series);
        while (lines.size() > std::max<size_t>(1, runs.size())) {
            // The oldest runs leave the window first; the first line keeps the legend's entry.
            m_chart->removeSeries(lines[1]);
            delete lines[1];
            lines.erase(lines.begin() + 1);
        }
        for (size_t i = 0; i < lines.size(); ++i) {
            QList<QPointF> points;
            if (i < runs.size()) {
                for (const QPointF& point : runs[i]) {
                    points.append(QPointF((nowSeconds - point.x()) / 60, point.y()));
                    largest = std::max(largest, point.y());
                }
            }
            lines[i]->replace(points);
        }
    }
    const double ageMinutes = std::ceil((nowSeconds - openedSeconds) / 60);
    const int spanMinutes = static_cast<int>(std::clamp(ageMinutes, 1.0, history.WindowSeconds() / 60));
    m_minutesAgo->setRange(0, spanMinutes);
    // A tick a minute; half minutes while the page is young.
    m_minutesAgo->setTickCount(spanMinutes == 1 ? 3 : spanMinutes + 1);
    m_minutesAgo->setLabelFormat(spanMinutes == 1 ? "%.1f" : "%d");
    FitAxis(m_frames, largestFrames);
    FitAxis(m_events, largestEvents);
}
