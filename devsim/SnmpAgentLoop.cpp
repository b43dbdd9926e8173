#include "AgentStation.h"

#include <net-snmp/agent/net-snmp-agent-includes.h>
#include <net-snmp/library/large_fd_set.h>

#include <algorithm>

// Each device's requests are read with its own engine made the library's; whatever else the
// library watches is read after them.
void SnmpAgent::readStations(netsnmp_large_fd_set& readable)
{
    for (auto& station : m_stations) {
        if (!NETSNMP_LARGE_FD_ISSET(station->socket, &readable))
            continue;
        station->enter();
        NETSNMP_LARGE_FD_SET(station->socket, &m_single);
        snmp_sess_read2(station->handle, &m_single);
        NETSNMP_LARGE_FD_CLR(station->socket, &m_single);
        NETSNMP_LARGE_FD_CLR(station->socket, &readable);
    }
    snmp_read2(&readable);
}

void SnmpAgent::runOnce(int maxWaitMs)
{
    int descriptors = 0;
    int block = 0;
    // A site of a thousand devices has more sockets than a plain descriptor set holds.
    netsnmp_large_fd_set readable;
    netsnmp_large_fd_set_init(&readable, m_descriptorLimit);
    NETSNMP_LARGE_FD_ZERO(&readable);
    timeval timeout{0, maxWaitMs * 1000};
    timeval wanted = timeout;
    snmp_select_info2(&descriptors, &readable, &wanted, &block);
    if (!block && (wanted.tv_sec < timeout.tv_sec || (wanted.tv_sec == timeout.tv_sec && wanted.tv_usec < timeout.tv_usec)))
        timeout = wanted;
    // The devices' TFTP transfers run on this loop too: their sockets are watched with the
    // agent's, and the nearest retransmission bounds the wait.
    const auto now = std::chrono::steady_clock::now();
    for (auto& station : m_stations) {
        const TftpTransfer* transfer = station->device.transfer();
        if (!transfer || transfer->descriptor() < 0 || transfer->descriptor() >= m_descriptorLimit)
            continue;
        NETSNMP_LARGE_FD_SET(transfer->descriptor(), &readable);
        descriptors = std::max(descriptors, transfer->descriptor() + 1);
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(transfer->deadline() - now).count();
        const long long current = timeout.tv_sec * 1000000LL + timeout.tv_usec;
        if (left < current) {
            timeout.tv_sec = left > 0 ? left / 1000000 : 0;
            timeout.tv_usec = left > 0 ? left % 1000000 : 0;
        }
    }
    const int ready = netsnmp_large_fd_set_select(descriptors, &readable, nullptr, nullptr, &timeout);
    if (ready > 0)
        readStations(readable);
    else if (ready == 0)
        snmp_timeout();
    run_alarms();
    netsnmp_check_outstanding_agent_requests();
    const auto woken = std::chrono::steady_clock::now();
    for (auto& station : m_stations) {
        Device& device = station->device;
        if (TftpTransfer* transfer = device.transfer()) {
            if (ready > 0 && transfer->descriptor() >= 0 && transfer->descriptor() < m_descriptorLimit &&
                NETSNMP_LARGE_FD_ISSET(transfer->descriptor(), &readable))
                transfer->receive();
            transfer->expire(woken);
        }
        const unsigned boots = device.boots();
        device.poll(woken);
        if (device.boots() != boots)
            writeState(*station);  // the running status changed with the restart
        releaseDelayed(*station);
        finishTransfer(*station);
    }
    netsnmp_large_fd_set_cleanup(&readable);
}
