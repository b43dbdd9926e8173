#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

// An SNMPv3 agent whose engine ID is new with every message it sends: it answers every
// message, the engine ID discovery included, with a usmStatsUnknownEngineIDs report that names
// a fresh engine ID. A manager can never learn an engine ID that the next answer still
// accepts, as with a unit that resets itself over and over. It answers from its own thread,
// so waiting exchanges (which do not run the event loop) are answered too.
class ShiftingEngineAgent {
public:
    ShiftingEngineAgent();
    ~ShiftingEngineAgent();
    ShiftingEngineAgent(const ShiftingEngineAgent&) = delete;
    ShiftingEngineAgent& operator=(const ShiftingEngineAgent&) = delete;

    bool started() const { return m_fd >= 0; }
    uint16_t port() const { return m_port; }
    // The reports sent so far.
    int reportsSent() const { return m_reports; }

private:
    void serve();

    int m_fd = -1;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_reports{0};
    std::thread m_thread;
};
