#pragma once

#include <cstddef>
#include <string>

// An agent that no longer knows the engine ID a message was sent to (a factory reset, or
// another unit at the same address) answers with an unauthenticated usmStatsUnknownEngineIDs
// report that carries its own engine ID. The engine drops such a report (its user is not
// known for that engine ID) and lets the exchange time out, so the session reads it from the
// raw datagram itself: true, with the agent's engine ID, when the datagram is such a report.
bool ReadUnknownEngineReport(const unsigned char* data, size_t size, std::string& engineId);
