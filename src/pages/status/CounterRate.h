#pragma once

#include <cstdint>
#include <optional>

// The rate of one of the device's 32-bit counters between polls, for the traffic graph.
// A counter that passes 2^32 wraps and counts on. A counter that falls back (the device
// restarted, or the caller knows its up time went back) starts a new segment: no point, rather
// than a spike of four billion. A poll without an answer leaves a gap; the next answer is
// measured against the last one that came.
class CounterRate {
public:
    // The rate per second since the previous answer, or nothing (the first answer, a missed
    // poll, a new segment).
    std::optional<double> Next(double seconds, std::optional<uint32_t> value, bool restarted = false);

private:
    std::optional<uint32_t> m_last;
    double m_lastSeconds = 0;
};
