#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <map>
#include <memory>


// Delivers the completions of notifying exchanges inside the Qt event loop, as soon as an
// answer's datagram arrives (socket readiness) or an exchange's time runs out (a timer set
// to the engine's next time-out). It never re-enters itself: while completions run (one may
// show a modal message box, which runs the event loop) its timer is off, and a notifier that
// fires meanwhile is switched off until the completions have ended. Sockets that become
// readable together are read by one tick.
class SnmpEventProcessor : public QObject {
    Q_OBJECT
public:
    static SnmpEventProcessor& global();

    void Start();
    void Stop();
    bool running() const { return m_running; }

private:
    SnmpEventProcessor();
    void socketReady(QSocketNotifier* notifier);
    void tick();
    void rearm();

    bool m_running = false;
    bool m_inTick = false;
    bool m_tickQueued = false;
    QTimer m_timeoutTimer;
    std::map<int, std::unique_ptr<QSocketNotifier>> m_notifiers;
};
