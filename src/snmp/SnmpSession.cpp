#include "snmp/SnmpSession.h"

#include "platform/ExchangeWait.h"
#include "snmp/SnmpSessionPdu.h"
#include "snmp/SnmpSessionReports.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/large_fd_set.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <set>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A descriptor set of any size for the engine's calls: a site tool keeps a session per
// device, and a thousand sessions have sockets past what a plain fd_set holds.
class DescriptorSet {
public:
    DescriptorSet()
    {
        netsnmp_large_fd_set_init(&m_set, FD_SETSIZE);
        NETSNMP_LARGE_FD_ZERO(&m_set);
    }
    ~DescriptorSet() { netsnmp_large_fd_set_cleanup(&m_set); }
    DescriptorSet(const DescriptorSet&) = delete;
    DescriptorSet& operator=(const DescriptorSet&) = delete;
    netsnmp_large_fd_set* get() { return &m_set; }

private:
    netsnmp_large_fd_set m_set;
};

// Waits until one of the sockets is readable or the time is up (-1: no limit).
int WaitReadable(const std::vector<int>& sockets, int milliseconds)
{
    std::vector<pollfd> watched;
    watched.reserve(sockets.size());
    for (int fd : sockets)
        watched.push_back({fd, POLLIN, 0});
    return ::poll(watched.data(), watched.size(), milliseconds);
}

std::string peerKey(const SnmpTarget& t)
{
    return t.address + ':' + std::to_string(t.port) + '/' + std::to_string(t.version);
}

std::string userKey(const SnmpTarget& t)
{
    return peerKey(t) + '/' + t.securityName + '\x1f';
}

// Who speaks: the peer and, for SNMPv3, the user with its credentials. Pass phrases are part
// of it: a changed phrase needs its own localized keys.
std::string credentialKey(const SnmpTarget& t)
{
    if (!t.isV3())
        return peerKey(t);
    return userKey(t) + std::to_string(t.securityLevel) + '\x1f' + std::to_string(t.authProtocol) + '\x1f'
        + t.authPassword + '\x1f' + std::to_string(t.privProtocol) + '\x1f' + t.privPassword;
}

// The engine applies a session's retry count when an exchange's time runs out, not when it
// is sent, so exchanges with their own retry count need their own engine session. The
// time-out is taken as each exchange is sent: exchanges of any time-out share a session.
std::string sessionKey(const SnmpTarget& t)
{
    return credentialKey(t) + '~' + std::to_string(t.retries);
}

constexpr int kStatusOperationFailed = -1;
constexpr int kStatusTransportFailed = -22;

} // namespace

SnmpSession& SnmpSession::global()
{
    static SnmpSession session;
    return session;
}

SnmpSession::~SnmpSession()
{
    // The sessions kept for reuse are given back with their sockets, not dropped with the
    // maps that hold them. Straight to the engine: the list of watched transports (a static
    // made after this one) is gone by now.
    m_closing = true;
    for (auto* sessions : {&m_waitingSessions, &m_notifyingSessions})
        for (const auto& [key, handle] : *sessions)
            snmp_sess_close(handle);
    for (void* handle : m_retiringSessions)
        snmp_sess_close(handle);
}

int SnmpSession::statusFromEngineError(int e)
{
    switch (e) {
    case SNMPERR_SUCCESS: return 0;
    case SNMPERR_TIMEOUT: return kStatusTimeout;
    case SNMPERR_USM_GENERICERROR: return 1401;
    case SNMPERR_UNSUPPORTED_SEC_LEVEL:
    case SNMPERR_USM_UNSUPPORTEDSECURITYLEVEL:
    case SNMPERR_BAD_SEC_LEVEL: return 1403;
    case SNMPERR_UNKNOWN_USER_NAME:
    case SNMPERR_USM_UNKNOWNSECURITYNAME:
    case SNMPERR_BAD_SEC_NAME: return 1404;
    case SNMPERR_USM_ENCRYPTIONERROR: return 1405;
    case SNMPERR_DECRYPTION_ERR:
    case SNMPERR_USM_DECRYPTIONERROR: return 1406;
    case SNMPERR_AUTHENTICATION_FAILURE:
    case SNMPERR_USM_AUTHENTICATIONFAILURE: return 1408;
    case SNMPERR_USM_PARSEERROR: return 1409;
    case SNMPERR_UNKNOWN_ENG_ID:
    case SNMPERR_USM_UNKNOWNENGINEID: return 1410;
    case SNMPERR_NOT_IN_TIME_WINDOW:
    case SNMPERR_USM_NOTINTIMEWINDOW: return 1411;
    case SNMPERR_UNKNOWN_SEC_MODEL: return -1402;
    case SNMPERR_INVALID_MSG: return -1405;
    case SNMPERR_BAD_ENG_ID: return -1406;
    case SNMPERR_BAD_PARSE:
    case SNMPERR_ASN_PARSE_ERR: return -1408;
    case SNMPERR_BAD_CONTEXT: return -1417;
    case SNMPERR_BAD_ADDRESS: return -18;
    case SNMPERR_BAD_SESSION: return -10;
    case SNMPERR_MALLOC: return -2;
    case SNMPERR_NO_VARS:
    case SNMPERR_NULL_PDU:
    case SNMPERR_BAD_ASN1_BUILD:
    case SNMPERR_TOO_LONG: return -11;
    case SNMPERR_V2_IN_V1:
    case SNMPERR_V1_IN_V2: return -16;
    case SNMPERR_BAD_SENDTO:
    case SNMPERR_BAD_RECVFROM:
    case SNMPERR_NO_SOCKET:
    case SNMPERR_BAD_LOCPORT: return kStatusTransportFailed;
    default: return kStatusOperationFailed;
    }
}

bool SnmpSession::open()
{
    if (m_open)
        return true;
    // The module is a client with no files of its own: no snmp.conf, no persistent state,
    // no MIB files (values are converted by the request layer, not printed by the engine).
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
    setenv("MIBS", "", 0);
    setenv("MIBDIRS", "", 0);
    init_snmp("vta-module");
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
    // The session needs a UDP socket of its own on an ephemeral port: prove one can be had.
    const int probe = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (probe < 0)
        return false;
    ::close(probe);
    m_open = true;
    return true;
}

void SnmpSession::setLocalEngine(const std::string& engineId, unsigned boots)
{
    set_exact_engineID(reinterpret_cast<const u_char*>(engineId.data()), engineId.size());
    // The engine takes its boots count the way it reads it from its own configuration.
    std::string count = std::to_string(boots);
    engineBoots_conf("engineBoots", count.data());
}

void* SnmpSession::engineSession(const SnmpTarget& target, bool notifying, int& status)
{
    status = 0;
    auto& sessions = notifying ? m_notifyingSessions : m_waitingSessions;
    const std::string key = sessionKey(target);
    if (auto found = sessions.find(key); found != sessions.end()) {
        if (!m_engineChanged.count(found->second))
            return found->second;
        // A waiting session that read a report of the agent's new engine ID after its
        // exchange had ended: a fresh session learns the new one.
        void* stale = found->second;
        sessions.erase(found);
        if (notifying)
            closeQuietly(stale);
        else
            dropWaitingSession(stale);
    }

    if (target.isV3())
        retireStaleUser(target);

    netsnmp_session s;
    snmp_sess_init(&s);
    const std::string peer = "udp:" + target.address + ':' + std::to_string(target.port);
    s.peername = const_cast<char*>(peer.c_str());
    s.version = target.version == 0 ? SNMP_VERSION_1 : target.version == 1 ? SNMP_VERSION_2c : SNMP_VERSION_3;
    s.timeout = static_cast<long>(target.timeout) * 10000L;
    s.retries = target.retries;
    if (target.isV3()) {
        status = ConfigureEngineUser(s, target);
    } else {
        s.community = reinterpret_cast<u_char*>(const_cast<char*>(target.readCommunity.c_str()));
        s.community_len = target.readCommunity.size();
    }
    void* handle = nullptr;
    if (status == 0) {
        handle = snmp_sess_open(&s);
        if (!handle) {
            status = statusFromEngineError(s.s_snmp_errno ? s.s_snmp_errno : snmp_errno);
            if (status == 0)
                status = kStatusOperationFailed;
        }
    }
    SNMP_FREE(s.securityAuthProto);
    SNMP_FREE(s.securityPrivProto);
    if (!handle)
        return nullptr;
    if (target.isV3())
        watchEngineId(handle);
    sessions[key] = handle;
    return handle;
}

// The engine keeps one user entry per engine ID and user name and would go on using its
// keys even when a session brings other pass phrases. The newest credentials of a user win
// (as a fresh registration of the user would): older sessions of that user on that agent
// are closed and the user's entries dropped, so the new session's keys are the ones used.
void SnmpSession::retireStaleUser(const SnmpTarget& target)
{
    const std::string user = userKey(target);
    const std::string credentials = credentialKey(target) + '~';
    bool retired = false;
    for (auto* sessions : {&m_waitingSessions, &m_notifyingSessions}) {
        for (auto it = sessions->begin(); it != sessions->end();) {
            const bool sameUser = it->first.compare(0, user.size(), user) == 0;
            const bool sameCredentials = it->first.compare(0, credentials.size(), credentials) == 0;
            if (sameUser && !sameCredentials && sessions == &m_waitingSessions) {
                void* stale = it->second;
                it = sessions->erase(it);
                dropWaitingSession(stale);
                retired = true;
            } else if (sameUser && !sameCredentials) {
                closeEngineSession(it->second);
                it = sessions->erase(it);
                retired = true;
            } else {
                ++it;
            }
        }
    }
    if (!retired)
        return;
    for (usmUser* user = usm_get_userList(); user;) {
        usmUser* next = user->next;
        if (user->name && target.securityName == user->name) {
            usm_remove_user(user);
            usm_free_user(user);
        }
        user = next;
    }
}

// Exchanges still outstanding on a closed session end with "closing session with
// outstanding requests" (-8), so their owners are not left waiting.
void SnmpSession::closeEngineSession(void* handle)
{
    for (auto& [ticket, exchange] : m_exchanges) {
        if (exchange.engineSession == handle) {
            SnmpResponse closed;
            closed.status = -8;
            m_finished.push_back({ticket, closed});
            exchange.engineSession = nullptr;
        }
    }
    closeQuietly(handle);
}

// The engine ends a closed session's exchanges itself (as time-outs); their owners have been
// told otherwise already, so those notices are not passed on.
void SnmpSession::closeQuietly(void* handle)
{
    unwatchEngineId(handle);
    m_engineChanged.erase(handle);
    m_closing = true;
    snmp_sess_close(handle);
    m_closing = false;
    ++m_sessionsClosed;
}

SnmpResponse SnmpSession::request(const SnmpTarget& target, PduKind kind, const std::vector<SnmpVarBind>& vbs,
                                  int maxRepetitions, ExchangeWait* given)
{
    ExchangeWait own;
    ExchangeWait& wait = given ? *given : own;
    SnmpResponse response;
    if (wait.Ended() || ExchangeWait::Stopping()) {
        // Nothing leaves for a window that is going or a module that is ending.
        response.status = kStatusTimeout;
        return response;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        void* handle = engineSession(target, false, response.status);
        if (!handle) {
            if (attempt > 0)
                response.status = kStatusUnknownEngineId;  // the new engine ID could not be learnt
            return response;
        }
        if (exchangeWaiting(handle, target, kind, vbs, maxRepetitions, wait, response))
            return response;
        // The agent answers from another engine ID: a fresh session learns it, and the
        // exchange is sent once more.
        m_waitingSessions.erase(sessionKey(target));
        dropWaitingSession(handle);
    }
    response = {};
    response.status = kStatusUnknownEngineId;
    return response;
}

bool SnmpSession::exchangeWaiting(void* handle, const SnmpTarget& target, PduKind kind,
                                  const std::vector<SnmpVarBind>& vbs, int maxRepetitions, ExchangeWait& wait,
                                  SnmpResponse& response)
{
    netsnmp_session* session = snmp_sess_session(handle);
    session->timeout = static_cast<long>(target.timeout) * 10000L;
    session->retries = target.retries;

    const Ticket id = m_nextTicket++;
    netsnmp_pdu* pdu = BuildEnginePdu(target, kind, vbs, maxRepetitions);
    if (snmp_sess_async_send(handle, pdu, &SnmpSession::onEngineEvent, reinterpret_cast<void*>(id)) == 0) {
        snmp_free_pdu(pdu);
        response = {};
        response.status = statusFromEngineError(session->s_snmp_errno);
        if (response.status == 0)
            response.status = kStatusOperationFailed;
        return true;
    }
    ++m_exchangesSent;
    m_waitingResults[id] = {};
    ++m_waitingUsers[handle];
    struct Leave {
        SnmpSession& session;
        void* handle;
        ~Leave() { session.leaveWaitingSession(handle); }
    } leave{*this, handle};
    // Only this session is read here; the notifying ones are the event pump's.
    const int socket = snmp_sess_transport(handle) ? snmp_sess_transport(handle)->sock : -1;
    while (!m_waitingResults[id].arrived && !m_engineChanged.count(handle)) {
        int highest = 0, block = 1;
        DescriptorSet set;
        timeval tv{};
        snmp_sess_select_info2(handle, &highest, set.get(), &tv, &block);
        const int milliseconds = block ? -1 : static_cast<int>(tv.tv_sec * 1000 + (tv.tv_usec + 999) / 1000);
        if (!wait.Wait(socket, milliseconds))
            break;
        // A handler that ran meanwhile may have read the answer already (its own waiting
        // exchange on this session), so look again rather than trust the wait.
        if (m_waitingResults[id].arrived)
            break;
        // Early calls are harmless: the engine only resends what is due.
        if (socket >= 0 && WaitReadable({socket}, 0) > 0)
            snmp_sess_read2(handle, set.get());
        else
            snmp_sess_timeout(handle);
    }
    WaitingResult result = std::move(m_waitingResults[id]);
    m_waitingResults.erase(id);
    if (wait.Ended()) {
        // The engine would send the request again when its time runs out: the session goes,
        // and with it the request, once no other waiting exchange uses it.
        retireWaitingSession(handle);
        response = {};
        response.status = kStatusTimeout;
        return true;
    }
    // Where the engine knows the user for the new engine ID too, it also passes the report on.
    if (!result.arrived || m_engineChanged.count(handle))
        return false;
    response = std::move(result.response);
    return true;
}

void SnmpSession::retireWaitingSession(void* handle)
{
    for (auto it = m_waitingSessions.begin(); it != m_waitingSessions.end();)
        it = it->second == handle ? m_waitingSessions.erase(it) : std::next(it);
    m_retiringSessions.insert(handle);
}

void SnmpSession::dropWaitingSession(void* handle)
{
    // A waiting exchange started inside another's wait may drop the session the outer one
    // still waits on: it closes when that one has ended.
    if (m_waitingUsers.count(handle))
        retireWaitingSession(handle);
    else
        closeQuietly(handle);
}

void SnmpSession::leaveWaitingSession(void* handle)
{
    if (--m_waitingUsers[handle] > 0)
        return;
    m_waitingUsers.erase(handle);
    if (m_retiringSessions.erase(handle))
        closeQuietly(handle);
}

int SnmpSession::send(const SnmpTarget& target, PduKind kind, const std::vector<SnmpVarBind>& vbs,
                      Completion completion, Ticket* ticket, int maxRepetitions)
{
    int status = 0;
    void* handle = engineSession(target, true, status);
    if (!handle)
        return status;
    const Ticket id = m_nextTicket++;
    Exchange exchange;
    exchange.completion = std::move(completion);
    exchange.target = target;
    exchange.kind = kind;
    exchange.vbs = vbs;
    exchange.maxRepetitions = maxRepetitions;
    status = sendExchange(handle, id, exchange);
    if (status != 0)
        return status;
    m_exchanges[id] = std::move(exchange);
    if (ticket)
        *ticket = id;
    notifyActivity();
    return 0;
}

int SnmpSession::sendExchange(void* handle, Ticket id, Exchange& exchange)
{
    netsnmp_session* session = snmp_sess_session(handle);
    session->timeout = static_cast<long>(exchange.target.timeout) * 10000L;
    session->retries = exchange.target.retries;
    netsnmp_pdu* pdu = BuildEnginePdu(exchange.target, exchange.kind, exchange.vbs, exchange.maxRepetitions);
    if (snmp_sess_async_send(handle, pdu, &SnmpSession::onEngineEvent, reinterpret_cast<void*>(id)) == 0) {
        snmp_free_pdu(pdu);
        const int status = statusFromEngineError(session->s_snmp_errno);
        return status ? status : kStatusOperationFailed;
    }
    ++m_exchangesSent;
    exchange.engineSession = handle;
    return 0;
}

int SnmpSession::onEngineEvent(int operation, snmp_session* session, int, snmp_pdu* pdu, void* magic)
{
    SnmpSession& self = global();
    if (self.m_closing)
        return 1;
    const Ticket ticket = reinterpret_cast<Ticket>(magic);
    SnmpResponse response;
    switch (operation) {
    case NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE:
        response = ConvertEngineResponse(pdu);
        break;
    case NETSNMP_CALLBACK_OP_TIMED_OUT:
        response.status = kStatusTimeout;
        break;
    case NETSNMP_CALLBACK_OP_SEC_ERROR:
        // A refusal by the agent's user-based security comes as a report that names it.
        response.status = statusFromEngineError(pdu && pdu->command == SNMP_MSG_REPORT ? snmpv3_get_report_type(pdu)
                                                                                   : session->s_snmp_errno);
        if (response.status == 0)
            response.status = 1401;
        break;
    case NETSNMP_CALLBACK_OP_SEND_FAILED:
    case NETSNMP_CALLBACK_OP_DISCONNECT:
        response.status = kStatusTransportFailed;
        break;
    default:
        return 1;  // a resend or connect notice: the exchange goes on
    }
    if (auto waiting = self.m_waitingResults.find(ticket); waiting != self.m_waitingResults.end()) {
        waiting->second = {true, std::move(response)};
        return 1;
    }
    // Completions run after the engine has finished its own processing.
    self.m_finished.push_back({ticket, std::move(response)});
    return 1;
}

SnmpSession::Ticket SnmpSession::deliver(const SnmpResponse& response, Completion completion)
{
    const Ticket id = m_nextTicket++;
    Exchange exchange;
    exchange.completion = std::move(completion);
    m_exchanges[id] = std::move(exchange);
    m_finished.push_back({id, response});
    notifyActivity();
    return id;
}

bool SnmpSession::bulkRefused(const SnmpTarget& target) const { return m_bulkRefused.count(peerKey(target)) != 0; }

void SnmpSession::refuseBulk(const SnmpTarget& target) { m_bulkRefused.insert(peerKey(target)); }

void SnmpSession::forget(Ticket ticket)
{
    if (auto found = m_exchanges.find(ticket); found != m_exchanges.end())
        found->second.forgotten = true;
}

void SnmpSession::release(const SnmpTarget& target)
{
    const auto found = m_notifyingSessions.find(sessionKey(target));
    if (found == m_notifyingSessions.end())
        return;
    for (const auto& [ticket, exchange] : m_exchanges)
        if (exchange.engineSession == found->second && !exchange.forgotten)
            return;
    void* handle = found->second;
    m_notifyingSessions.erase(found);
    closeEngineSession(handle);
    notifyActivity();
}

bool SnmpSession::isOutstanding(Ticket ticket) const { return m_exchanges.count(ticket) != 0; }

std::vector<int> SnmpSession::sockets() const
{
    std::vector<int> result;
    for (const auto& [key, handle] : m_notifyingSessions)
        if (netsnmp_transport* transport = snmp_sess_transport(handle))
            result.push_back(transport->sock);
    return result;
}

int SnmpSession::millisecondsToNextTimeout() const
{
    if (!m_finished.empty())
        return 0;  // answers known already wait for the next round of completions
    int best = -1;
    DescriptorSet set;
    for (const auto& [key, handle] : m_notifyingSessions) {
        int fds = 0, block = 1;
        timeval tv{};
        snmp_sess_select_info2(handle, &fds, set.get(), &tv, &block);
        if (block)
            continue;
        const int ms = static_cast<int>(tv.tv_sec * 1000 + (tv.tv_usec + 999) / 1000);
        best = best < 0 ? ms : std::min(best, ms);
    }
    return best;
}

void SnmpSession::processPendingEvents()
{
    // Read what has arrived; a burst of answers is drained in a bounded number of passes.
    DescriptorSet one;  // the engine reads one session's socket at a time
    for (int pass = 0; pass < 64; ++pass) {
        std::vector<std::pair<void*, int>> watched;  // session and socket
        std::vector<pollfd> descriptors;
        for (const auto& [key, handle] : m_notifyingSessions)
            if (netsnmp_transport* transport = snmp_sess_transport(handle)) {
                watched.push_back({handle, transport->sock});
                descriptors.push_back({transport->sock, POLLIN, 0});
            }
        if (descriptors.empty() || ::poll(descriptors.data(), descriptors.size(), 0) <= 0)
            break;
        // A read only records what arrived (completions run below), so the sessions stay as
        // they were listed.
        for (size_t i = 0; i < watched.size(); ++i) {
            if (!(descriptors[i].revents & (POLLIN | POLLERR | POLLHUP)))
                continue;
            NETSNMP_LARGE_FD_SET(descriptors[i].fd, one.get());
            snmp_sess_read2(watched[i].first, one.get());
            NETSNMP_LARGE_FD_CLR(descriptors[i].fd, one.get());
        }
    }
    rediscoverEngines();
    for (const auto& [key, handle] : m_notifyingSessions)
        snmp_sess_timeout(handle);

    std::vector<Finished> finished;
    finished.swap(m_finished);
    for (Finished& done : finished) {
        auto exchange = m_exchanges.find(done.ticket);
        if (exchange == m_exchanges.end())
            continue;
        Exchange ended = std::move(exchange->second);
        m_exchanges.erase(exchange);
        if (!ended.forgotten && ended.completion)
            ended.completion(done.response);
    }
    notifyActivity();
}

void SnmpSession::waitForEvents(int maxMilliseconds)
{
    int wait = maxMilliseconds;
    const int next = millisecondsToNextTimeout();
    if (next >= 0)
        wait = std::min(wait, next);
    WaitReadable(sockets(), wait);
    processPendingEvents();
}

void SnmpSession::notifyActivity()
{
    if (m_activityHook)
        m_activityHook();
}
