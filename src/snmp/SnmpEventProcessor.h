#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <vector>


// Delivers the completions of notifying exchanges inside the Qt event loop, as soon as an
// answer's datagram arrives (socket readiness) or an exchange's time runs out (a timer set
// to the engine's next time-out). It never re-enters itself: while completions run (one may
// show a modal message box, which runs the event loop) its timer is off, and a notification
// that comes meanwhile is switched off until the completions have ended. Sockets that become
// readable together are read by one tick.
//
// The sessions' sockets sit in one epoll set, and the event loop watches only that: a site
// tool keeps a hundred sessions open, and an event loop that polls each socket itself pays
// for every one of them each time it waits.
class SnmpEventProcessor : public QObject {
    Q_OBJECT
public:
    static SnmpEventProcessor& global();

    void Start();
    void Stop();
    bool running() const { return m_running; }

private:
    SnmpEventProcessor();
    void socketReady();
    void tick();
    void rearm();
    // Makes the epoll set hold exactly `sockets` (sorted).
    void watch(const std::vector<int>& sockets);

    bool m_running = false;
    bool m_inTick = false;
    bool m_tickQueued = false;
    QTimer m_timeoutTimer;
    int m_epoll = -1;  // -1 when the system gave none: the timer then looks often
    std::unique_ptr<QSocketNotifier> m_ready;
    std::vector<int> m_watched;  // sorted
    uint64_t m_watchedAfterClosing = 0;  // the session's close count when m_watched was made
};
