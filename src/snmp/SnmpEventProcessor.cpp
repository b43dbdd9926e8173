#include "snmp/SnmpEventProcessor.h"

#include "snmp/SnmpSession.h"

#include <algorithm>

SnmpEventProcessor& SnmpEventProcessor::global()
{
    // Deliberately never destroyed: it outlives every request, as the session does.
    static SnmpEventProcessor* processor = new SnmpEventProcessor;
    return *processor;
}

SnmpEventProcessor::SnmpEventProcessor()
{
    m_timeoutTimer.setSingleShot(true);
    connect(&m_timeoutTimer, &QTimer::timeout, this, &SnmpEventProcessor::tick);
    SnmpSession::global().setActivityHook([this] { rearm(); });
}

void SnmpEventProcessor::Start()
{
    m_running = true;
    rearm();
}

void SnmpEventProcessor::Stop()
{
    m_running = false;
    rearm();
}

void SnmpEventProcessor::socketReady(QSocketNotifier* notifier)
{
    if (m_inTick) {
        // A completion runs an event loop of its own (a message box): a socket that becomes
        // readable meanwhile waits for the end of this tick, or its level-triggered notifier
        // would fire without pause.
        notifier->setEnabled(false);
        return;
    }
    // One tick reads every session's socket: answers that arrive together (a site tool keeps
    // a hundred sessions) are taken by one tick, not one tick per socket.
    if (m_tickQueued)
        return;
    m_tickQueued = true;
    QMetaObject::invokeMethod(this, [this] {
        m_tickQueued = false;
        tick();
    }, Qt::QueuedConnection);
}

void SnmpEventProcessor::tick()
{
    if (!m_running || m_inTick)
        return;
    m_inTick = true;
    m_timeoutTimer.stop();
    if (SnmpSession::global().exists())
        SnmpSession::global().processPendingEvents();
    m_inTick = false;
    rearm();
}

void SnmpEventProcessor::rearm()
{
    if (m_inTick)
        return;  // tick() rearms when it ends
    SnmpSession& session = SnmpSession::global();
    std::vector<int> sockets = m_running ? session.sockets() : std::vector<int>{};
    // Sorted for the look-ups below: a site tool keeps a hundred sessions, and this runs
    // after every exchange.
    std::sort(sockets.begin(), sockets.end());
    for (auto it = m_notifiers.begin(); it != m_notifiers.end();) {
        if (!std::binary_search(sockets.begin(), sockets.end(), it->first))
            it = m_notifiers.erase(it);
        else
            ++it;
    }
    for (int fd : sockets) {
        auto& notifier = m_notifiers[fd];
        if (!notifier) {
            notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
            QSocketNotifier* ready = notifier.get();
            connect(ready, &QSocketNotifier::activated, this, [this, ready] { socketReady(ready); });
        }
        notifier->setEnabled(true);
    }
    const int next = m_running ? session.millisecondsToNextTimeout() : -1;
    if (next < 0)
        m_timeoutTimer.stop();
    else
        m_timeoutTimer.start(next);
}
