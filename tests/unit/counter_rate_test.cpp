// Rates from the device's 32-bit counters, as the traffic graph draws them.
#include "pages/status/CounterRate.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Poll {
    double seconds;
    std::optional<uint32_t> value;  // nothing: the poll got no answer
    bool restarted;
    std::optional<double> rate;     // nothing: no point (first, gap, new segment)
};

TEST(CounterRate, SequencesOfPolls)
{
    const std::vector<std::pair<const char*, std::vector<Poll>>> sequences = {
        {"steady", {{0, 100, false, {}}, {5, 600, false, 100.0}, {10, 1100, false, 100.0}}},
        {"wrapping at 2^32",
         {{0, 4294966796u, false, {}}, {5, 500, false, 200.0}, {10, 1500, false, 200.0}}},
        {"dropping to zero", {{0, 5000, false, {}}, {5, 0, false, {}}, {10, 50, false, 10.0}}},
        {"a missed poll", {{0, 0, false, {}}, {5, {}, false, {}}, {10, 1000, false, 100.0}}},
        {"a restart the up time shows",
         {{0, 4294966796u, false, {}}, {5, 10, true, {}}, {10, 60, false, 10.0}}},
    };
    for (const auto& [name, polls] : sequences) {
        CounterRate rate;
        for (const Poll& poll : polls) {
            const std::optional<double> got = rate.Next(poll.seconds, poll.value, poll.restarted);
            ASSERT_EQ(got.has_value(), poll.rate.has_value()) << name << " at " << poll.seconds;
            if (got) {
                EXPECT_DOUBLE_EQ(*got, *poll.rate) << name << " at " << poll.seconds;
            }
        }
    }
}

} // namespace
