#pragma once

#include <cstdint>
#include <string>

// The outcome of one exchange as a request reports it: a catalogued code (0 = success) and
// its message. Records of errors found while sending carry no errorIndex, agent or finished
// information (-1, empty, -1 and true).
struct QvSNMPError {
    int32_t code = 0;
    int32_t errorIndex = -1;  // the response's error index (notifying operations)
    std::string message;
    std::string agentAddress;  // the agent that answered, address part
    int16_t agentPort = -1;
    bool finished = true;      // notifying gets: no further row will follow
    uint64_t errorCount = 0;   // the request's error count after this one was counted
};
