// How the session goes on when an agent's SNMPv3 engine ID changes under it (a factory
// reset, or another unit at the same address): the agent answers every message sent to the
// old engine ID with a report that names its new one. The session reads those reports off
// its engine sessions' transports, replaces the session that sent to the old ID by a fresh
// one (which learns the new ID) and sends the outstanding exchanges once more.
#include "snmp/SnmpSession.h"

#include "snmp/SnmpSessionReports.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <algorithm>
#include <map>

namespace {

using Receive = int (*)(netsnmp_transport*, void*, int, void**, int*);

struct WatchedTransport {
    Receive receive;
    void* handle;
};

std::map<netsnmp_transport*, WatchedTransport>& watchedTransports()
{
    static std::map<netsnmp_transport*, WatchedTransport> watched;
    return watched;
}

bool sameEngine(void* handle, const std::string& engineId)
{
    const netsnmp_session* session = snmp_sess_session(handle);
    // Without an engine ID of its own the session is still learning one: the engine's business.
    if (!session || session->securityEngineIDLen == 0)
        return true;
    return engineId.size() == session->securityEngineIDLen
        && std::equal(engineId.begin(), engineId.end(), session->securityEngineID);
}

} // namespace

int SnmpSession::receiveWatched(netsnmp_transport* transport, void* buffer, int size, void** opaque, int* length)
{
    auto& watched = watchedTransports();
    const auto found = watched.find(transport);
    if (found == watched.end())
        return -1;
    const WatchedTransport watch = found->second;
    const int received = watch.receive(transport, buffer, size, opaque, length);
    std::string engineId;
    if (received > 0
        && ReadUnknownEngineReport(static_cast<const unsigned char*>(buffer), static_cast<size_t>(received), engineId)
        && !sameEngine(watch.handle, engineId))
        global().m_engineChanged.insert(watch.handle);
    return received;
}

void SnmpSession::watchEngineId(void* handle)
{
    netsnmp_transport* transport = snmp_sess_transport(handle);
    if (!transport || !transport->f_recv)
        return;
    watchedTransports()[transport] = {transport->f_recv, handle};
    transport->f_recv = &SnmpSession::receiveWatched;
}

void SnmpSession::unwatchEngineId(void* handle)
{
    netsnmp_transport* transport = snmp_sess_transport(handle);
    auto& watched = watchedTransports();
    if (const auto found = watched.find(transport); transport && found != watched.end()) {
        transport->f_recv = found->second.receive;
        watched.erase(found);
    }
}

void SnmpSession::rediscoverEngines()
{
    std::vector<void*> stale;
    for (const auto& [key, handle] : m_notifyingSessions)
        if (m_engineChanged.count(handle))
            stale.push_back(handle);
    for (void* handle : stale) {
        for (auto it = m_notifyingSessions.begin(); it != m_notifyingSessions.end();)
            it = it->second == handle ? m_notifyingSessions.erase(it) : std::next(it);
        std::vector<Ticket> affected;
        for (auto& [ticket, exchange] : m_exchanges)
            if (exchange.engineSession == handle)
                affected.push_back(ticket);
        closeQuietly(handle);
        // Reports the engine passed on (it knows the user for the new engine ID) are no answers.
        std::erase_if(m_finished, [&](const Finished& done) {
            return std::find(affected.begin(), affected.end(), done.ticket) != affected.end();
        });

        for (Ticket ticket : affected) {
            Exchange& exchange = m_exchanges[ticket];
            exchange.engineSession = nullptr;
            int status = kStatusUnknownEngineId;
            // Once only: an agent that again names another engine ID has none to learn.
            if (!exchange.rediscovered) {
                exchange.rediscovered = true;
                int opened = 0;
                void* fresh = engineSession(exchange.target, true, opened);
                status = fresh ? sendExchange(fresh, ticket, exchange) : kStatusUnknownEngineId;
            }
            if (status != 0) {
                SnmpResponse failed;
                failed.status = status;
                m_finished.push_back({ticket, failed});
            }
        }
    }
}
