#pragma once

// One process-wide factor applied to every timer of the pages and dialogs, so that a
// restart countdown of 40 seconds can run in a test in well under a second.
// 1.0 by default; the environment variable VTA_TIME_SCALE sets it at start.
namespace TimeScale {

double factor();
void setFactor(double factor);

// A nominal interval in milliseconds, scaled; never below 1 ms.
int scaled(int milliseconds);

} // namespace TimeScale
