#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

// A relay on a loopback port between a manager and a real SNMPv1 / SNMPv2c agent that
// passes every message on, except get-bulk requests, which it answers itself as a device
// that does get-bulk badly (or, with TooBigGet, gets of many bindings, as a device whose
// answers must fit a small datagram; with Looping and Endless, get-next too, as a device
// whose walks never end). It counts the get-bulk, get-next and get requests
// that pass, and answers from its own thread, so waiting exchanges are answered too.
class BulkSpoilingProxy {
public:
    enum class Spoil {
        None,        // get-bulk passes too
        GenErr,      // answered with genErr
        TooBig,      // answered with tooBig while asking for more than bulkLimit repetitions
        NoProgress,  // answered with the bindings as asked (the walk would stand still)
        WrongType,   // answered with noSuchInstance for every binding, which get-next never gives
        TooBigGet,   // get-bulk passes; a get of more than bulkLimit bindings is answered with tooBig
        // Get-next and get-bulk are answered inside each column asked, with rows that no agent
        // holds (column.99999.1, column.99999.2, ...):
        Looping,     // A, B, A, B, ...: the answer to B goes back to A
        Endless,     // row after row without end
    };

    BulkSpoilingProxy(uint16_t agentPort, Spoil spoil, int bulkLimit = 0);
    ~BulkSpoilingProxy();
    BulkSpoilingProxy(const BulkSpoilingProxy&) = delete;
    BulkSpoilingProxy& operator=(const BulkSpoilingProxy&) = delete;

    bool started() const { return m_front >= 0 && m_back >= 0; }
    uint16_t port() const { return m_port; }
    int bulkRequests() const { return m_bulk; }
    int nextRequests() const { return m_next; }
    int getRequests() const { return m_get; }
    // The largest repetition count a get-bulk that passed asked for.
    int largestPassedRepetitions() const { return m_largestPassed; }

private:
    void serve();
    void fromManager(const std::string& message);

    Spoil m_spoil;
    int m_bulkLimit;
    int m_front = -1;  // the manager's side
    int m_back = -1;   // connected to the agent
    uint16_t m_port = 0;
    struct Peer;
    Peer* m_manager;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_bulk{0};
    std::atomic<int> m_next{0};
    std::atomic<int> m_get{0};
    std::atomic<int> m_largestPassed{0};
    std::thread m_thread;
};
