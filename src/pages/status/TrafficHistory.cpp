#include "pages/status/TrafficHistory.h"

#include <algorithm>

void TrafficHistory::Add(double pageSeconds, const std::optional<Counters>& answer)
{
    std::array<std::optional<double>, 5> rates{};
    if (answer) {
        // Rates are measured on the device's own clock; an up time that went back means the
        // device started again, whatever its counters say.
        const bool restarted = m_lastUpTime && answer->upTimeTicks < *m_lastUpTime;
        m_lastUpTime = answer->upTimeTicks;
        const double deviceSeconds = answer->upTimeTicks / 100.0;
        const uint32_t values[] = {answer->transmitted, answer->received, answer->transmitErrors,
                                   answer->receiveErrors, answer->retries};
        for (size_t i = 0; i < m_rates.size(); ++i)
            rates[i] = m_rates[i].Next(deviceSeconds, values[i], restarted);
    }
    Append(Transmitted, pageSeconds, rates[0]);
    Append(Received, pageSeconds, rates[1]);
    Append(Errors, pageSeconds,
           rates[2] && rates[3] ? std::optional<double>(*rates[2] + *rates[3]) : std::nullopt);
    Append(Retries, pageSeconds, rates[4]);
    Forget(pageSeconds - m_window);
}

void TrafficHistory::Append(Series series, double pageSeconds, std::optional<double> rate)
{
    SeriesState& state = m_series[series];
    if (!rate) {
        state.runOpen = false;
        return;
    }
    if (!state.runOpen)
        state.runs.emplace_back();
    state.runs.back().emplace_back(pageSeconds, *rate);
    state.runOpen = true;
}

void TrafficHistory::Forget(double before)
{
    for (SeriesState& state : m_series) {
        for (Run& run : state.runs)
            run.erase(run.begin(), std::find_if(run.begin(), run.end(), [before](const QPointF& p) { return p.x() >= before; }));
        const bool lastEmptied = !state.runs.empty() && state.runs.back().empty();
        state.runs.erase(std::remove_if(state.runs.begin(), state.runs.end(), [](const Run& run) { return run.empty(); }),
                         state.runs.end());
        if (lastEmptied)
            state.runOpen = false;
    }
}

int TrafficHistory::Points(Series series) const
{
    int points = 0;
    for (const Run& run : m_series[series].runs)
        points += static_cast<int>(run.size());
    return points;
}
