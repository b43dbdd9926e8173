#include "AgentStation.h"

#include <net-snmp/agent/net-snmp-agent-includes.h>
#include <net-snmp/library/large_fd_set.h>

#include <algorithm>

#include <poll.h>
#include <sys/epoll.h>

// Each device's requests are read with its own engine made the library's. The library's only
// sockets are the devices' listening ones; a site of a thousand devices is watched through one
// epoll set, which costs a wait by the sockets that are ready, not by all of them.
void SnmpAgent::readStations()
{
    epoll_event events[256];
    const int count = ::epoll_wait(m_epoll, events, 256, 0);
    for (int i = 0; i < count; ++i) {
        const int fd = events[i].data.fd;
        Station* station = fd >= 0 && static_cast<size_t>(fd) < m_byListener.size() ? m_byListener[fd] : nullptr;
        if (!station)
            continue;
        if (!station->active) {
            station->active = true;
            m_active.push_back(station);
        }
        station->enter();
        NETSNMP_LARGE_FD_SET(fd, &m_single);
        snmp_sess_read2(station->handle, &m_single);
        NETSNMP_LARGE_FD_CLR(fd, &m_single);
    }
}

void SnmpAgent::runOnce(int maxWaitMs)
{
    // The wait ends at the library's next time-out at the latest.
    int descriptors = 0;
    int block = 0;
    timeval wanted{0, maxWaitMs * 1000};
    NETSNMP_LARGE_FD_ZERO(&m_scratch);
    snmp_select_info2(&descriptors, &m_scratch, &wanted, &block);
    long long waitUs = maxWaitMs * 1000LL;
    if (!block)
        waitUs = std::min(waitUs, wanted.tv_sec * 1000000LL + wanted.tv_usec);
    // The devices' TFTP transfers run on this loop too: their sockets are watched with the
    // agent's, and the nearest retransmission bounds the wait.
    std::vector<pollfd> watched{{m_epoll, POLLIN, 0}};
    std::vector<Station*> transferring;
    const auto now = std::chrono::steady_clock::now();
    for (Station* station : m_active) {
        const TftpTransfer* transfer = station->device.transfer();
        if (!transfer || transfer->descriptor() < 0)
            continue;
        watched.push_back({transfer->descriptor(), POLLIN, 0});
        transferring.push_back(station);
        const long long left =
            std::chrono::duration_cast<std::chrono::microseconds>(transfer->deadline() - now).count();
        waitUs = std::min(waitUs, std::max(left, 0LL));
    }
    // A request held back to answer late is answered when it is due, not at the next turn.
    for (Station* station : m_active)
        if (!station->delayed.empty()) {
            const long long left =
                std::chrono::duration_cast<std::chrono::microseconds>(station->delayed.front().due - now).count();
            waitUs = std::min(waitUs, std::max(left, 0LL));
        }
    const int ready = ::poll(watched.data(), watched.size(), static_cast<int>((waitUs + 999) / 1000));
    if (ready > 0 && (watched[0].revents & POLLIN))
        readStations();
    else if (ready == 0)
        snmp_timeout();
    run_alarms();
    netsnmp_check_outstanding_agent_requests();
    const auto woken = std::chrono::steady_clock::now();
    for (size_t i = 0; i < transferring.size(); ++i) {
        TftpTransfer* transfer = transferring[i]->device.transfer();
        if (transfer && transfer->descriptor() == watched[i + 1].fd && (watched[i + 1].revents & POLLIN))
            transfer->receive();
    }
    const std::vector<Station*> active = m_active;  // a device read just now stays for the next turn
    for (Station* station : active) {
        Device& device = station->device;
        if (TftpTransfer* transfer = device.transfer())
            transfer->expire(woken);
        const unsigned boots = device.boots();
        device.poll(woken);
        if (device.boots() != boots)
            writeState(*station);  // the running status changed with the restart
        releaseDelayed(*station);
        finishTransfer(*station);
    }
    std::erase_if(m_active, [](Station* station) {
        station->active = station->busy();
        return !station->active;
    });
}
