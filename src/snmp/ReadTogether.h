#pragma once

#include <cstddef>
#include <vector>

class QvSNMPRequest;

// Asks the first questions of several requests at once, so that reads which do not depend on
// each other cost one round trip instead of one each. The plain gets of one agent go out
// merged into as few get requests as fit a datagram; walks and the other questions go as they
// are, all at the same time. Each request then holds its own answer read ahead, which its next
// Get takes in place of asking the device (QvSNMPRequest::TakeReadAhead).
//
// Every request gets exactly the answer it would have had alone, or none (its Get then asks as
// always): a merged get the device refuses for one binding (an error status with an index,
// SNMPv1's noSuchName) is asked again without that request, which is asked alone; one refused
// as too big is split and asked again; a merged get without an answer, or with an error that
// names no binding, leaves its requests without an answer read ahead. A question sent as the
// request would have sent it keeps whatever came back, a time-out included; a walk's first
// get-bulk asks for as many rows as fit an answer and serves only when answered. When the
// device answers nothing at all, the time-out is everyone's answer.
//
// Returns when every question has been answered or has timed out, or when the wait is ended
// (the page closes: whatever has not come leaves its requests without an answer read ahead).
// Meanwhile the event loop runs as for a waiting exchange (ExchangeWait).
class ExchangeWait;

class ReadTogether {
public:
    // What one merged get may hold: a request and an answer estimated below this many bytes
    // of bindings fit any device's datagram (and SNMPv3's headers beside them).
    static constexpr size_t kDatagramBudget = 1200;

    struct Outcome {
        int exchanges = 0;  // questions sent, the repeated ones included
        int rounds = 0;     // times everything under way was waited for
    };
    static Outcome Read(const std::vector<QvSNMPRequest*>& requests, ExchangeWait* wait = nullptr);
};
