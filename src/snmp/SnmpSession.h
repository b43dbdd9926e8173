#pragma once

#include "snmp/SnmpTarget.h"
#include "snmp/SnmpTypes.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// The module's one SNMP session: the adapter over the Net-SNMP engine that every request
// uses. It keeps one engine session per distinct target (SNMPv3 engine discovery is costly)
// and reuses it; waiting and notifying exchanges use separate engine sessions, so a waiting
// exchange never delivers a notifying one's completion in the middle of a handler.
class ExchangeWait;

class SnmpSession {
public:
    using Completion = std::function<void(const SnmpResponse&)>;
    using Ticket = uint64_t;

    static SnmpSession& global();

    // Starts the engine; false when no UDP socket can be opened. Safe to call again.
    bool open();
    // The SNMPv3 identity of this end: engine ID and boots count.
    void setLocalEngine(const std::string& engineId, unsigned boots);
    bool exists() const { return m_open; }

    // Waiting form: sends and returns with the answer, after at most timeout x (retries + 1);
    // the event loop runs meanwhile (ExchangeWait), and a wait that is ended returns a time-out.
    // maxRepetitions: of a get-bulk.
    SnmpResponse request(const SnmpTarget& target, PduKind kind, const std::vector<SnmpVarBind>& vbs,
                         int maxRepetitions = 0, ExchangeWait* wait = nullptr);

    // Notifying form: returns 0 once sent; the completion runs later, from
    // processPendingEvents(). A non-zero return is the failure status; nothing is then
    // outstanding and the completion never runs.
    int send(const SnmpTarget& target, PduKind kind, const std::vector<SnmpVarBind>& vbs,
             Completion completion, Ticket* ticket = nullptr, int maxRepetitions = 0);
    // An answer known without asking the device (read ahead by a get-bulk): the completion
    // runs from processPendingEvents() as for an exchange, never from this call.
    Ticket deliver(const SnmpResponse& response, Completion completion);

    // A device that answered get-bulk badly is asked with get-next from then on.
    bool bulkRefused(const SnmpTarget& target) const;
    void refuseBulk(const SnmpTarget& target);

    // The completion of an outstanding exchange will not run (its owner is gone). The
    // exchange itself still ends by answer or time-out.
    void forget(Ticket ticket);
    // Closes the notifying engine session of the target unless an exchange whose completion
    // is still awaited runs on it: for an owner done with a peer for good (a site tool done
    // with a device), whose session would otherwise stay open, a socket and a share of the
    // event pump's work for each of a thousand devices. A later exchange opens a new one.
    void release(const SnmpTarget& target);
    bool isOutstanding(Ticket ticket) const;
    int outstanding() const { return static_cast<int>(m_exchanges.size()); }
    // Requests handed to the engine since the start, waiting and notifying, each counted once
    // as it leaves (the engine's own resends after a time-out are not counted).
    uint64_t exchangesSent() const { return m_exchangesSent; }

    // Reads every answer that has arrived, ends exchanges whose time ran out, then runs their
    // completions. Never blocks.
    void processPendingEvents();
    // Blocks up to maxMilliseconds (or until the next time-out) for an answer to arrive,
    // then processes it.
    void waitForEvents(int maxMilliseconds);

    // What the event pump watches: the notifying sessions' sockets and the time in ms until
    // the engine's next time-out (-1 when nothing is outstanding).
    std::vector<int> sockets() const;
    // Counts the engine sessions closed so far: a socket number seen before may since have
    // been given to a new session's socket.
    uint64_t sessionsClosed() const { return m_sessionsClosed; }
    int millisecondsToNextTimeout() const;
    // Called whenever the set of sockets or the next time-out may have changed.
    void setActivityHook(std::function<void()> hook) { m_activityHook = std::move(hook); }

    // The status the catalogue maps for a failure code of the engine.
    static int statusFromEngineError(int engineError);

private:
    SnmpSession() = default;
    // Closes the engine sessions still open when the program ends.
    ~SnmpSession();
    struct Exchange {
        Completion completion;
        void* engineSession = nullptr;
        bool forgotten = false;
        // What was sent, to send it again once the agent's new engine ID is known.
        SnmpTarget target;
        PduKind kind = PduKind::Get;
        std::vector<SnmpVarBind> vbs;
        int maxRepetitions = 0;
        bool rediscovered = false;
    };
    struct Finished {
        Ticket ticket;
        SnmpResponse response;
    };

    void* engineSession(const SnmpTarget& target, bool notifying, int& status);
    // Sends on the engine session and blocks for the answer; false when the agent answered
    // from another engine ID instead.
    bool exchangeWaiting(void* handle, const SnmpTarget& target, PduKind kind, const std::vector<SnmpVarBind>& vbs,
                         int maxRepetitions, ExchangeWait& wait, SnmpResponse& response);
    int sendExchange(void* handle, Ticket id, Exchange& exchange);
    // The agent's engine ID (SnmpSessionRediscovery.cpp).
    static int receiveWatched(struct netsnmp_transport_s* transport, void* buffer, int size, void** opaque,
                              int* length);
    void watchEngineId(void* handle);
    void unwatchEngineId(void* handle);
    void rediscoverEngines();
    void closeQuietly(void* handle);
    static int onEngineEvent(int operation, struct snmp_session* session, int requestId,
                             struct snmp_pdu* pdu, void* magic);
    void notifyActivity();
    void retireStaleUser(const SnmpTarget& target);
    void closeEngineSession(void* handle);
    // A waiting session whose exchange was ended before its answer: no new exchange uses it,
    // and it closes when the last one under way on it has ended.
    void retireWaitingSession(void* handle);
    void leaveWaitingSession(void* handle);
    // Closes a waiting session now, or once no waiting exchange uses it any more.
    void dropWaitingSession(void* handle);

    bool m_open = false;
    std::map<std::string, void*> m_waitingSessions;
    std::map<std::string, void*> m_notifyingSessions;
    std::map<Ticket, Exchange> m_exchanges;
    std::vector<Finished> m_finished;
    struct WaitingResult {
        bool arrived = false;
        SnmpResponse response;
    };
    std::map<Ticket, WaitingResult> m_waitingResults;
    // Engine sessions whose agent has answered from another engine ID.
    std::set<void*> m_engineChanged;
    std::set<std::string> m_bulkRefused;  // peers
    std::map<void*, int> m_waitingUsers;   // waiting exchanges under way per engine session
    std::set<void*> m_retiringSessions;
    bool m_closing = false;
    Ticket m_nextTicket = 1;
    uint64_t m_exchangesSent = 0;
    uint64_t m_sessionsClosed = 0;
    std::function<void()> m_activityHook;
};
