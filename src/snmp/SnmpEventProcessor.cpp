#include "snmp/SnmpEventProcessor.h"

#include "snmp/SnmpSession.h"

#include <algorithm>

#include <sys/epoll.h>
#include <unistd.h>

namespace {
// Without an epoll set, how often sockets with exchanges outstanding are looked at.
constexpr int kFallbackPollMilliseconds = 10;

void Control(int epoll, int operation, int fd)
{
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    ::epoll_ctl(epoll, operation, fd, &event);
}
}  // namespace

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
    m_epoll = ::epoll_create1(EPOLL_CLOEXEC);
    if (m_epoll >= 0) {
        m_ready = std::make_unique<QSocketNotifier>(m_epoll, QSocketNotifier::Read);
        connect(m_ready.get(), &QSocketNotifier::activated, this, &SnmpEventProcessor::socketReady);
    }
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

void SnmpEventProcessor::socketReady()
{
    if (m_inTick) {
        // A completion runs an event loop of its own (a message box): a socket that becomes
        // readable meanwhile waits for the end of this tick, or the level-triggered
        // notification would come without pause.
        m_ready->setEnabled(false);
        return;
    }
    // One tick reads every session's socket: answers that arrive together are taken by one
    // tick, not one tick per socket.
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

void SnmpEventProcessor::watch(const std::vector<int>& sockets)
{
    const uint64_t closed = SnmpSession::global().sessionsClosed();
    if (closed != m_watchedAfterClosing) {
        // A socket number still listed may now name a new session's socket, which the set
        // does not hold (a closed socket leaves the set by itself): every listed one is
        // registered again.
        for (int fd : m_watched)
            Control(m_epoll, EPOLL_CTL_DEL, fd);
        m_watched.clear();
        m_watchedAfterClosing = closed;
    }
    std::vector<int> gone, added;
    std::set_difference(m_watched.begin(), m_watched.end(), sockets.begin(), sockets.end(), std::back_inserter(gone));
    std::set_difference(sockets.begin(), sockets.end(), m_watched.begin(), m_watched.end(), std::back_inserter(added));
    for (int fd : gone)
        Control(m_epoll, EPOLL_CTL_DEL, fd);
    for (int fd : added)
        Control(m_epoll, EPOLL_CTL_ADD, fd);
    m_watched = sockets;
}

void SnmpEventProcessor::rearm()
{
    if (m_inTick)
        return;  // tick() rearms when it ends
    SnmpSession& session = SnmpSession::global();
    std::vector<int> sockets = m_running ? session.sockets() : std::vector<int>{};
    std::sort(sockets.begin(), sockets.end());
    sockets.erase(std::unique(sockets.begin(), sockets.end()), sockets.end());
    int next = m_running ? session.millisecondsToNextTimeout() : -1;
    if (m_epoll >= 0) {
        watch(sockets);
        m_ready->setEnabled(true);
    } else if (next >= 0) {
        next = std::min(next, kFallbackPollMilliseconds);  // an answer may be waiting
    }
    if (next < 0)
        m_timeoutTimer.stop();
    else
        m_timeoutTimer.start(next);
}
