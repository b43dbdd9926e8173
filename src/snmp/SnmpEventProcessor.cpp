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

void SnmpEventProcessor::tick()
{
    if (m_inTick || !m_running)
        return;
    m_inTick = true;
    for (auto& [fd, notifier] : m_notifiers)
        notifier->setEnabled(false);
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
    const std::vector<int> sockets = m_running ? session.sockets() : std::vector<int>{};
    for (auto it = m_notifiers.begin(); it != m_notifiers.end();) {
        if (std::find(sockets.begin(), sockets.end(), it->first) == sockets.end())
            it = m_notifiers.erase(it);
        else
            ++it;
    }
    for (int fd : sockets) {
        auto& notifier = m_notifiers[fd];
        if (!notifier) {
            notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
            connect(notifier.get(), &QSocketNotifier::activated, this, &SnmpEventProcessor::tick);
        }
        notifier->setEnabled(true);
    }
    const int next = m_running ? session.millisecondsToNextTimeout() : -1;
    if (next < 0)
        m_timeoutTimer.stop();
    else
        m_timeoutTimer.start(next);
}
