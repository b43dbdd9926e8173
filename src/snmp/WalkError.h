#pragma once

#include "snmp/QvException.h"

#include <cstdint>
#include <string>

// A table walk that the device would never end. A correct agent answers every get-next with
// an object after the one asked, and no device holds tables of more than a few thousand rows;
// an agent that answers an earlier object inside the column (A, B, A, B, ...) or names new
// rows without end would keep a walk, and the list that shows it, growing for ever. The walk
// stops at the first such answer or past the largest table, and says which it was; the rows
// read before stay.
class WalkError : public QvException {
public:
    static constexpr int kNotIncreasing = -601;
    static constexpr int kTooManyRows = -602;
    // Far above any device's table (the simulator's largest holds 10,000 rows).
    static constexpr uint32_t kMostRows = 10000;

    static WalkError NotIncreasing(const std::string& asked, const std::string& received)
    {
        return WalkError("The device answered the table walk out of order (OID not increasing: " + received
                             + " after " + asked + "), so the walk stopped; the rows before it are shown.",
                         kNotIncreasing);
    }
    static WalkError TooManyRows()
    {
        const std::string most = std::to_string(kMostRows);
        return WalkError("The device's table goes on beyond " + most
                             + " rows, more than any device holds, so the walk stopped; the first " + most
                             + " rows are shown.",
                         kTooManyRows);
    }

private:
    WalkError(const std::string& text, int code) : QvException(text, code) {}
};
