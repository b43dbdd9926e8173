#include "SnmpAgent.h"

#include "AgentStation.h"
#include "AgentUsers.h"
#include "DeviceModel.h"
#include "StateFile.h"

#include <net-snmp/agent/net-snmp-agent-includes.h>
#include <net-snmp/library/large_fd_set.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <unistd.h>

extern "C" {
// The agent library's listening session; declared in no public header.
extern netsnmp_session* main_session;
// The library's list of open sessions; finds the session of a transport we opened.
extern struct session_list* Sessions;
void init_vacm_vars(void);
void init_usmUser(void);
void init_vacm_config_tokens(void);
}

namespace {
SnmpAgent* g_agent = nullptr;
const char* const kApplication = "vta-devsim";

Oid NameOf(const netsnmp_variable_list* vb) { return Oid(vb->name, vb->name + vb->name_length); }

void DeleteVariable(void* data) { delete static_cast<Variable*>(data); }

// Puts a value into the response varbind in the syntax of the variable.
void Answer(netsnmp_request_info* request, const Variable& variable)
{
    const u_char type = AsnType(variable.info->syntax);
    switch (variable.info->syntax) {
    case Syntax::Integer: {
        const long value = static_cast<long>(variable.number);
        snmp_set_var_typed_value(request->requestvb, type, &value, sizeof value);
        break;
    }
    case Syntax::TimeTicks:
    case Syntax::Counter32:
    case Syntax::Gauge32: {
        const u_long value = static_cast<u_long>(variable.number) & 0xFFFFFFFFul;
        snmp_set_var_typed_value(request->requestvb, type, &value, sizeof value);
        break;
    }
    case Syntax::Text: {
        const std::string shown = variable.info->masked ? std::string(variable.bytes.size(), '*') : variable.bytes;
        snmp_set_var_typed_value(request->requestvb, type, shown.data(), shown.size());
        break;
    }
    case Syntax::IpAddress:
    case Syntax::MacAddress:
        snmp_set_var_typed_value(request->requestvb, type, variable.bytes.data(), variable.bytes.size());
        break;
    case Syntax::ObjectId:
        snmp_set_var_typed_value(request->requestvb, type, variable.objectId.data(),
                                 variable.objectId.size() * sizeof(oid));
        break;
    }
}
}  // namespace

SnmpAgent::SnmpAgent(const std::vector<AgentDevice>& devices)
{
    for (const AgentDevice& device : devices) {
        m_stations.push_back(
            std::make_unique<Station>(device.device, device.options, static_cast<uint16_t>(m_stations.size())));
        m_verbose = m_verbose || device.options.verbose;
    }
    g_agent = this;
}

SnmpAgent::~SnmpAgent()
{
    for (auto& station : m_stations) {
        for (HeldRequest& held : station->delayed)
            snmp_free_pdu(held.pdu);
        if (station->transferRequest)
            snmp_free_pdu(station->transferRequest);
    }
    snmp_shutdown(kApplication);
    for (netsnmp_large_fd_set* set : {&m_single, &m_scratch})
        if (set->lfs_setptr)
            netsnmp_large_fd_set_cleanup(set);
    if (m_epoll >= 0)
        ::close(m_epoll);
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    g_agent = nullptr;
}

bool SnmpAgent::start(std::string& error)
{
    // A site of a thousand devices needs a socket each and one per transfer: more than the
    // usual soft limit of descriptors, so the process takes what the hard limit allows.
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
        files.rlim_cur = files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &files);
    }
    for (netsnmp_large_fd_set* set : {&m_single, &m_scratch}) {
        netsnmp_large_fd_set_init(set, FD_SETSIZE);  // they grow with the sockets they are given
        NETSNMP_LARGE_FD_ZERO(set);
    }
    m_epoll = ::epoll_create1(EPOLL_CLOEXEC);
    if (m_epoll < 0) {
        error = "cannot create the set that watches the devices' sockets";
        return false;
    }

    char folder[] = "/tmp/vta-devsim-XXXXXX";
    if (!mkdtemp(folder)) {
        error = "cannot create a private folder for the agent's files";
        return false;
    }
    m_folder = folder;
    {
        // Access: one read and one write community, and the SNMPv3 users, all with the whole
        // tree as their view.
        // Several devices: every community any of them knows; the hook keeps each device to its
        // own two. Each device's users are its own (see UserLines).
        std::ofstream conf(m_folder + "/" + kApplication + ".conf");
        std::set<std::string> readOnly, readWrite;
        for (const auto& station : m_stations)
            readWrite.insert(station->options.writeCommunity);
        for (const auto& station : m_stations)
            if (!readWrite.count(station->options.readCommunity))
                readOnly.insert(station->options.readCommunity);
        for (const std::string& community : readOnly)
            conf << "rocommunity " << community << " default\n";
        for (const std::string& community : readWrite)
            conf << "rwcommunity " << community << " default\n";
        std::vector<std::pair<std::string, const std::vector<UsmUser>*>> users;
        for (const auto& station : m_stations)
            users.emplace_back(station->engine.hex(), &station->options.users);
        conf << UserLines(users);
        if (!conf) {
            error = "cannot write the agent's configuration in " + m_folder;
            return false;
        }
    }
    setenv("MIBS", "", 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_ROLE, 0);  // master agent
    // The simulator listens only where it is told, on UDP: none of the library's other
    // listeners (the AgentX master socket, the SMUX sub-agent socket on TCP port 199, which it
    // opens on every interface when run as root).
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_AGENTX_MASTER, 0);
    char withoutSmux[] = "-smux";
    add_to_init_list(withoutSmux);
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_NO_ROOT_ACCESS, 1);
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_CONFIGURATION_DIR, m_folder.c_str());
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_PERSISTENT_DIR, m_folder.c_str());
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 0);
    const std::string listen = m_stations.front()->listenAddress();
    netsnmp_ds_set_string(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_PORTS, listen.c_str());
    if (m_verbose)
        snmp_enable_stderrlog();
    else  // the library's notices would mix with the ready line
        netsnmp_register_loghandler(NETSNMP_LOGHANDLER_NONE, LOG_DEBUG);

    init_agent(kApplication);
    init_vacm_config_tokens();
    init_vacm_vars();
    init_usmUser();

    auto registerTree = [&](const char* name, const Oid& root) {
        netsnmp_handler_registration* registration = netsnmp_create_handler_registration(
            name, HandleRequests, root.data(), root.size(), HANDLER_CAN_RWRITE);
        return registration && netsnmp_register_handler(registration) == MIB_REGISTERED_OK;
    };
    if (!registerTree("vta-system", kSystemGroup) || !registerTree("vta-private", kPrivateRoot) ||
        (std::any_of(m_stations.begin(), m_stations.end(),
                     [](const auto& station) { return station->device.settings().signalStrength; }) &&
         !registerTree("vta-signal", kSignalRoot))) {
        error = "cannot register the device's objects with the agent library";
        return false;
    }
    init_snmp(kApplication);
    if (init_master_agent() != 0 || !main_session) {
        error = "cannot listen on " + listen + " (address in use or not available)";
        return false;
    }
    // Put our hook in front of the agent's packet handler, on every device's session.
    m_stations.front()->listener = main_session;
    m_agentCallback = main_session->callback;
    for (size_t i = 1; i < m_stations.size(); ++i)
        if (!openListener(*m_stations[i], error))
            return false;
    for (auto& station : m_stations) {
        station->listener->callback = ReceivePacket;
        station->handle = snmp_sess_pointer(station->listener);
        for (session_list* open = Sessions; open; open = open->next)
            if (open->session == station->listener && open->transport)
                station->socket = open->transport->sock;
        if (!station->handle || station->socket < 0) {
            error = "the agent library opened no socket for " + station->listenAddress();
            return false;
        }
        if (m_byListener.size() <= static_cast<size_t>(station->socket))
            m_byListener.resize(station->socket + 1, nullptr);
        m_byListener[station->socket] = station.get();
        epoll_event watched{};
        watched.events = EPOLLIN;
        watched.data.fd = station->socket;
        if (::epoll_ctl(m_epoll, EPOLL_CTL_ADD, station->socket, &watched) != 0) {
            error = "cannot watch the socket of " + station->listenAddress();
            return false;
        }
        station->active = true;  // its first turn finds it idle
        m_active.push_back(station.get());
    }
    return true;
}

// A further device's session: the agent library serves the transport like its first one.
bool SnmpAgent::openListener(Station& station, std::string& error)
{
    const std::string address = station.listenAddress();
    netsnmp_transport* transport = netsnmp_transport_open_server("snmp", address.c_str());
    if (!transport || netsnmp_register_agent_nsap(transport) < 0) {
        error = "cannot listen on " + address + " (address in use or not available)";
        return false;
    }
    for (session_list* open = Sessions; open; open = open->next)
        if (open->transport == transport)
            station.listener = open->session;
    if (!station.listener) {
        error = "the agent library opened no session for " + address;
        return false;
    }
    return true;
}

SnmpAgent::Station* SnmpAgent::stationOf(const netsnmp_session* session)
{
    for (auto& station : m_stations)
        if (station->listener == session)
            return station.get();
    return nullptr;
}

int SnmpAgent::HandleRequests(netsnmp_mib_handler*, netsnmp_handler_registration* registration,
                              netsnmp_agent_request_info* info, netsnmp_request_info* requests)
{
    Station* station = info->asp ? g_agent->stationOf(info->asp->session) : nullptr;
    if (!station)
        station = g_agent->m_stations.front().get();
    return g_agent->handle(*station, Oid(registration->rootoid, registration->rootoid + registration->rootoid_len),
                           info, requests);
}

int SnmpAgent::checkSet(Station& station, const Oid& instance, const netsnmp_variable_list* value,
                        Variable& updated)
{
    for (const RefusedSet& refused : station.options.refusedSets)
        if (refused.instance == instance)
            return refused.status;
    Device& device = station.device;
    if (device.lacks(instance))
        return SNMP_ERR_NOSUCHNAME;
    if (device.store().hidden(instance))
        return SNMP_ERR_NOCREATION;  // as for any object the device does not have
    Variable* variable = device.store().storage(instance);
    if (!variable)
        return device.store().find(instance) ? SNMP_ERR_GENERR : SNMP_ERR_NOCREATION;
    const int status = CheckSetValue(*variable, value->type, value->val.string, value->val_len, updated);
    return status != SNMP_ERR_NOERROR ? status : device.checkSet(instance, updated);
}

int SnmpAgent::handle(Station& station, const Oid& root, netsnmp_agent_request_info* info,
                      netsnmp_request_info* requests)
{
    Device& device = station.device;
    MibStore& store = device.store();
    bool changed = false;
    for (netsnmp_request_info* request = requests; request; request = request->next) {
        if (request->processed)
            continue;
        const Oid name = NameOf(request->requestvb);
        switch (info->mode) {
        case MODE_GET: {
            Variable* variable = store.hidden(name) ? nullptr : store.storage(name);
            if (!variable && device.lacks(name)) {
                netsnmp_set_request_error(info, request, SNMP_ERR_NOSUCHNAME);
                break;
            }
            if (!variable) {
                // An object with other instances gives noSuchInstance, an unknown one noSuchObject.
                const Oid object(name.begin(), name.end() - (name.empty() ? 0 : 1));
                const auto* sibling = store.next(object, object);
                netsnmp_set_request_error(info, request, sibling ? SNMP_NOSUCHINSTANCE : SNMP_NOSUCHOBJECT);
                break;
            }
            device.refreshLive(name, *variable);
            Answer(request, *variable);
            break;
        }
        case MODE_GETNEXT: {
            const Oid* next = nullptr;
            if (request->inclusive && store.find(name) && !store.hidden(name) && HasPrefix(name, root))
                next = &name;
            else if (name < root)
                next = store.first(root);
            else
                next = store.next(name, root);
            if (!next)
                break;  // past our objects: the agent moves on to the next registration
            const Oid found = *next;
            snmp_set_var_objid(request->requestvb, found.data(), found.size());
            Variable* variable = store.storage(found);
            device.refreshLive(found, *variable);
            Answer(request, *variable);
            break;
        }
        case MODE_SET_RESERVE1: {
            Variable updated;
            const int status = checkSet(station, name, request->requestvb, updated);
            if (status != SNMP_ERR_NOERROR)
                netsnmp_set_request_error(info, request, status);
            break;
        }
        case MODE_SET_ACTION: {
            Variable updated;
            if (checkSet(station, name, request->requestvb, updated) != SNMP_ERR_NOERROR) {
                netsnmp_set_request_error(info, request, SNMP_ERR_COMMITFAILED);
                break;
            }
            Variable* variable = store.storage(name);
            netsnmp_request_add_list_data(request,
                                          netsnmp_create_data_list("undo", new Variable(*variable), DeleteVariable));
            *variable = updated;
            break;
        }
        case MODE_SET_UNDO:
            if (auto* saved = static_cast<Variable*>(netsnmp_request_get_list_data(request, "undo")))
                *store.storage(name) = *saved;
            break;
        case MODE_SET_COMMIT:
            noteSet(station, name);
            device.committed(name);
            changed = true;
            // The answer of this set still leaves; nothing after it does.
            if (std::find(station.options.hangAfterSets.begin(), station.options.hangAfterSets.end(), name) !=
                station.options.hangAfterSets.end())
                station.hung = true;
            break;
        default:
            break;
        }
    }
    if (changed)
        writeState(station);  // before the answer leaves, so a test reading it after the answer sees the set
    return SNMP_ERR_NOERROR;
}

int SnmpAgent::ReceivePacket(int operation, netsnmp_session* session, int requestId, netsnmp_pdu* pdu, void* magic)
{
    return g_agent->receive(operation, session, requestId, pdu, magic);
}

int SnmpAgent::receive(int operation, netsnmp_session* session, int requestId, netsnmp_pdu* pdu, void* magic)
{
    Station* station = stationOf(session);
    // A request whose authentication failed is shown to the agent only so that it can tell of
    // it; the library answers it with its report. It is nobody's request to serve, delay or take.
    if (operation != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE || !station ||
        session->s_snmp_errno == SNMPERR_USM_AUTHENTICATIONFAILURE)
        return m_agentCallback(operation, session, requestId, pdu, magic);
    const auto now = std::chrono::steady_clock::now();
    const Options& options = station->options;
    if (station->device.silent(now) || station->hung)
        return 1;  // restarting or hung: nothing answers
    if (options.dropPercent > 0 && static_cast<int>(station->random() % 100) < options.dropPercent)
        return 1;
    if (dropOnce(*station, pdu))
        return 1;
    if (refuseCommunity(*station, session, pdu) || refuseSecurityLevel(*station, session, pdu))
        return 1;
    if (options.delayMs > 0) {
        station->delayed.push_back(
            {now + std::chrono::milliseconds(options.delayMs), session, snmp_clone_pdu(pdu), magic});
        return 1;
    }
    if (takeTransferCommand(*station, session, pdu))
        return 1;
    return m_agentCallback(operation, session, requestId, pdu, magic);
}

// --drop-once: the first request naming an object below one of the subtrees is lost, once.
bool SnmpAgent::dropOnce(Station& station, const netsnmp_pdu* pdu)
{
    for (const netsnmp_variable_list* vb = pdu->variables; vb; vb = vb->next_variable) {
        const Oid name = NameOf(vb);
        for (auto subtree = station.dropOnce.begin(); subtree != station.dropOnce.end(); ++subtree) {
            if (HasPrefix(name, *subtree)) {
                station.dropOnce.erase(subtree);
                return true;
            }
        }
    }
    return false;
}

// The agent's access rules know every device's communities; each device answers only its
// own. A community it does not know goes unanswered, as on a device; its read community
// does not write even where another device writes with the same text.
bool SnmpAgent::refuseCommunity(Station& station, netsnmp_session* session, netsnmp_pdu* pdu)
{
    if (pdu->version != SNMP_VERSION_1 && pdu->version != SNMP_VERSION_2c)
        return false;
    const std::string community = pdu->community
                                      ? std::string(reinterpret_cast<const char*>(pdu->community), pdu->community_len)
                                      : std::string();
    if (community == station.options.writeCommunity)
        return false;
    if (community != station.options.readCommunity)
        return true;
    if (pdu->command != SNMP_MSG_SET || m_stations.size() == 1)
        return false;  // alone, the agent's own access rules answer it
    answer(station, session, snmp_clone_pdu(pdu), SNMP_ERR_NOACCESS, 1);
    return true;
}

// The access rules name each SNMPv3 user at the lowest level any device asks of it; a device
// whose user asks for privacy refuses a request without it, as its access rules alone would.
bool SnmpAgent::refuseSecurityLevel(Station& station, netsnmp_session* session, netsnmp_pdu* pdu)
{
    if (pdu->version != SNMP_VERSION_3 || !pdu->securityName || pdu->securityLevel >= SNMP_SEC_LEVEL_AUTHPRIV)
        return false;
    const std::string name(pdu->securityName, pdu->securityNameLen);
    for (const UsmUser& user : station.options.users)
        if (user.name == name && !user.privProtocol.empty()) {
            answer(station, session, snmp_clone_pdu(pdu), SNMP_ERR_AUTHORIZATIONERROR, 0);
            return true;
        }
    return false;
}

bool SnmpAgent::mayWrite(const Station& station, const netsnmp_pdu* pdu) const
{
    if (pdu->version == SNMP_VERSION_1 || pdu->version == SNMP_VERSION_2c)
        return pdu->community && std::string(reinterpret_cast<const char*>(pdu->community), pdu->community_len) ==
                                     station.options.writeCommunity;
    if (pdu->version != SNMP_VERSION_3 || !pdu->securityName || (pdu->contextName && pdu->contextNameLen))
        return false;
    for (const UsmUser& user : station.options.users)
        if (user.name == std::string(pdu->securityName, pdu->securityNameLen))
            return pdu->securityLevel >= (user.privProtocol.empty() ? SNMP_SEC_LEVEL_AUTHNOPRIV
                                                                    : SNMP_SEC_LEVEL_AUTHPRIV);
    return false;
}

// The TFTP command is answered only when its transfer has ended, while the agent keeps
// answering everything else. Net-SNMP's delegated requests would hold every other request
// back while a set is pending, so such a set is taken out of the agent here and its
// answer is built when the transfer ends.
bool SnmpAgent::takeTransferCommand(Station& station, netsnmp_session* session, netsnmp_pdu* pdu)
{
    if (pdu->command != SNMP_MSG_SET)
        return false;
    const Oid command = DeviceOid::Private("3.3.5.0");
    int index = 0, position = 0;
    long value = 0;
    for (const netsnmp_variable_list* vb = pdu->variables; vb; vb = vb->next_variable) {
        ++position;
        if (NameOf(vb) == command && vb->type == ASN_INTEGER && vb->val.integer) {
            index = position;
            value = *vb->val.integer;
        }
    }
    if (!index || value < 1 || value > 3 || !mayWrite(station, pdu) || station.device.store().hidden(command))
        return false;  // the agent's own checks answer it
    if (station.transferRequest) {
        if (pdu->reqid == station.transferRequest->reqid)
            return true;  // the manager's retry of the set we are working on
        answer(station, session, snmp_clone_pdu(pdu), SNMP_ERR_RESOURCEUNAVAILABLE, index);
        return true;
    }
    // Check and store the other values of the same set first: the transfer uses them.
    Device& device = station.device;
    MibStore& store = device.store();
    std::vector<std::pair<Oid, Variable>> updates;
    position = 0;
    for (const netsnmp_variable_list* vb = pdu->variables; vb; vb = vb->next_variable) {
        ++position;
        Variable updated;
        const Oid name = NameOf(vb);
        int status = name == command ? SNMP_ERR_NOERROR : checkSet(station, name, vb, updated);
        for (const RefusedSet& refused : station.options.refusedSets)
            if (name == command && refused.instance == command)
                status = refused.status;
        if (status != SNMP_ERR_NOERROR) {
            answer(station, session, snmp_clone_pdu(pdu), status, position);
            return true;
        }
        if (name != command)
            updates.emplace_back(name, updated);
    }
    for (auto& [name, updated] : updates) {
        *store.storage(name) = updated;
        noteSet(station, name);
    }
    store.storage(command)->number = value;
    noteSet(station, command);
    const int status = device.startTransfer(static_cast<int>(value),
                                              ValueText(*store.storage(DeviceOid::Private("3.3.1.0"))),
                                              store.storage(DeviceOid::Private("3.3.2.0"))->bytes,
                                              store.storage(DeviceOid::Private("3.3.3.0"))->bytes);
    writeState(station);
    if (status != SNMP_ERR_NOERROR) {
        note(station, "transfer not started: the server's address or the file name is missing");
        answer(station, session, snmp_clone_pdu(pdu), status, index);
        return true;
    }
    note(station, device.lastLogEntry());
    station.transferRequest = snmp_clone_pdu(pdu);
    station.transferSession = session;
    station.transferIndex = index;
    return true;
}

// SNMPv1 knows only five error statuses: the standard mapping of the others (the device's
// own status 19 goes out unchanged).
static int V1Status(int status)
{
    switch (status) {
    case SNMP_ERR_WRONGVALUE:
    case SNMP_ERR_WRONGTYPE:
    case SNMP_ERR_WRONGLENGTH:
    case SNMP_ERR_WRONGENCODING:
    case SNMP_ERR_INCONSISTENTVALUE:
        return SNMP_ERR_BADVALUE;
    case SNMP_ERR_NOACCESS:
    case SNMP_ERR_NOTWRITABLE:
    case SNMP_ERR_NOCREATION:
    case SNMP_ERR_INCONSISTENTNAME:
    case SNMP_ERR_AUTHORIZATIONERROR:
        return SNMP_ERR_NOSUCHNAME;
    case SNMP_ERR_RESOURCEUNAVAILABLE:
    case SNMP_ERR_COMMITFAILED:
    case SNMP_ERR_UNDOFAILED:
        return SNMP_ERR_GENERR;
    default:
        return status;
    }
}

void SnmpAgent::answer(Station& station, netsnmp_session* session, netsnmp_pdu* request, int status, int index)
{
    station.enter();
    if (request->version == SNMP_VERSION_1)
        status = V1Status(status);
    request->command = SNMP_MSG_RESPONSE;
    request->errstat = status;
    request->errindex = status == SNMP_ERR_NOERROR ? 0 : index;
    request->flags &= ~UCD_MSG_FLAG_EXPECT_RESPONSE;
    if (!snmp_send(session, request)) {
        snmp_perror("vta-devsim: answer");
        snmp_free_pdu(request);
    }
}

void SnmpAgent::finishTransfer(Station& station)
{
    const std::optional<int> status = station.device.finishedTransfer();
    if (!status)
        return;
    note(station, station.device.lastLogEntry());
    if (!station.transferRequest)
        return;
    writeState(station);
    answer(station, station.transferSession, station.transferRequest, *status, station.transferIndex);
    station.transferRequest = nullptr;
    station.transferSession = nullptr;
}

void SnmpAgent::releaseDelayed(Station& station)
{
    const auto now = std::chrono::steady_clock::now();
    while (!station.delayed.empty() && station.delayed.front().due <= now) {
        HeldRequest held = station.delayed.front();
        station.delayed.pop_front();
        station.enter();
        if (!station.device.silent(now) && !station.hung && !takeTransferCommand(station, held.session, held.pdu))
            m_agentCallback(NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE, held.session, held.pdu->reqid, held.pdu, held.magic);
        snmp_free_pdu(held.pdu);
    }
}

// --verbose: what a device did, on standard error, named by its address.
void SnmpAgent::note(const Station& station, const std::string& text) const
{
    if (station.options.verbose)
        std::fprintf(stderr, "vta-devsim: %s: %s\n", station.options.address.c_str(), text.c_str());
}

void SnmpAgent::noteSet(Station& station, const Oid& instance) const
{
    if (station.options.verbose)
        note(station, "set " + OidText(instance) + " = " + ValueText(*station.device.store().storage(instance)));
}

void SnmpAgent::writeStates()
{
    for (auto& station : m_stations)
        writeState(*station);
}

void SnmpAgent::writeState(Station& station)
{
    if (station.options.stateOut.empty())
        return;
    Device& device = station.device;
    Variable* upTime = device.store().find(DeviceOid::System("3.0"));
    device.refreshLive(DeviceOid::System("3.0"), *upTime);
    std::string error;
    if (!WriteFileAtomically(station.options.stateOut, StateJson(device.store(), false, upTime->number), error))
        std::fprintf(stderr, "vta-devsim: %s\n", error.c_str());
}
