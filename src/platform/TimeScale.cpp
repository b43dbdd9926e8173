#include "platform/TimeScale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

double initialFactor()
{
    if (const char* text = std::getenv("VTA_TIME_SCALE")) {
        char* end = nullptr;
        const double value = std::strtod(text, &end);
        if (end != text && value > 0 && std::isfinite(value))
            return value;
    }
    return 1.0;
}

double& current()
{
    static double value = initialFactor();
    return value;
}

} // namespace

namespace TimeScale {

double factor() { return current(); }

void setFactor(double factor)
{
    if (factor > 0 && std::isfinite(factor))
        current() = factor;
}

int scaled(int milliseconds)
{
    return std::max(1, static_cast<int>(std::lround(milliseconds * current())));
}

} // namespace TimeScale
