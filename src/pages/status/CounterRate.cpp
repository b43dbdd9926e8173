#include "pages/status/CounterRate.h"

namespace {

// A counter in the upper half that comes back in the lower half has wrapped; one that falls
// back from anywhere else was started again.
constexpr uint32_t kHalf = 0x80000000u;

} // namespace

std::optional<double> CounterRate::Next(double seconds, std::optional<uint32_t> value, bool restarted)
{
    if (!value)
        return std::nullopt;
    const std::optional<uint32_t> last = m_last;
    const double elapsed = seconds - m_lastSeconds;
    m_last = value;
    m_lastSeconds = seconds;
    if (!last || restarted || elapsed <= 0)
        return std::nullopt;
    if (*value < *last && !(*last >= kHalf && *value < kHalf))
        return std::nullopt;
    const uint32_t delta = *value - *last;  // modulo 2^32: a wrap counts on
    return delta / elapsed;
}
