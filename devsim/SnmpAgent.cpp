#include "SnmpAgent.h"

#include "DeviceModel.h"
#include "StateFile.h"

#include <net-snmp/agent/net-snmp-agent-includes.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/select.h>
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
    const u_char type = AsnType(variable.syntax);
    switch (variable.syntax) {
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
        const std::string shown = variable.masked ? std::string(variable.bytes.size(), '*') : variable.bytes;
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

struct SnmpAgent::HeldRequest {
    std::chrono::steady_clock::time_point due;
    netsnmp_session* session;
    netsnmp_pdu* pdu;
    void* magic;
};

// A device with what its agent keeps for it: the session it listens on, requests held back
// by --delay-ms, and the TFTP command waiting for the end of its transfer.
struct SnmpAgent::Station {
    Station(Device& served, const Options& given) : device(served), options(given) {}

    Device& device;
    const Options& options;
    netsnmp_session* listener = nullptr;
    std::deque<HeldRequest> delayed;
    netsnmp_pdu* transferRequest = nullptr;
    netsnmp_session* transferSession = nullptr;
    int transferIndex = 0;
    bool hung = false;  // --hang-after-set: a command left the device answering nothing
    std::mt19937 random{20261210};

    std::string listenAddress() const { return "udp:" + options.address + ":" + std::to_string(options.port); }
};

SnmpAgent::SnmpAgent(const std::vector<AgentDevice>& devices)
{
    for (const AgentDevice& device : devices) {
        m_stations.push_back(std::make_unique<Station>(device.device, device.options));
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
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    g_agent = nullptr;
}

bool SnmpAgent::start(std::string& error)
{
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
        // own two. SNMPv3 users are the agent's, so the first definition of a name serves all.
        std::ofstream conf(m_folder + "/" + kApplication + ".conf");
        std::set<std::string> readOnly, readWrite, users;
        for (const auto& station : m_stations)
            readWrite.insert(station->options.writeCommunity);
        for (const auto& station : m_stations)
            if (!readWrite.count(station->options.readCommunity))
                readOnly.insert(station->options.readCommunity);
        for (const std::string& community : readOnly)
            conf << "rocommunity " << community << " default\n";
        for (const std::string& community : readWrite)
            conf << "rwcommunity " << community << " default\n";
        for (const auto& station : m_stations)
            for (const UsmUser& user : station->options.users) {
                if (!users.insert(user.name).second)
                    continue;
                conf << "createUser " << user.name << " " << user.authProtocol << " " << user.authPassword;
                if (!user.privProtocol.empty())
                    conf << " " << user.privProtocol << " " << user.privPassword;
                conf << "\nrwuser " << user.name << (user.privProtocol.empty() ? " auth" : " priv") << "\n";
            }
        if (!conf) {
            error = "cannot write the agent's configuration in " + m_folder;
            return false;
        }
    }
    setenv("MIBS", "", 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_ROLE, 0);  // master agent
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_AGENTX_MASTER, 0);
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
    for (auto& station : m_stations)
        station->listener->callback = ReceivePacket;
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
    Variable* variable = device.store().storage(instance);
    if (!variable && device.lacks(instance))
        return SNMP_ERR_NOSUCHNAME;
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
            Variable* variable = store.storage(name);
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
            const std::pair<const Oid, Variable>* next = nullptr;
            if (request->inclusive && store.find(name) && HasPrefix(name, root))
                next = &*store.all().find(name);
            else if (name < root)
                next = store.first(root);
            else
                next = store.next(name, root);
            if (!next)
                break;  // past our objects: the agent moves on to the next registration
            snmp_set_var_objid(request->requestvb, next->first.data(), next->first.size());
            Variable* variable = store.storage(next->first);
            device.refreshLive(next->first, *variable);
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
            if (station.options.verbose)
                std::fprintf(stderr, "vta-devsim: %s: set %s = %s\n", station.options.address.c_str(),
                             OidText(name).c_str(),
                             ValueText(*store.storage(name)).c_str());
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
    if (operation != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE || !station)
        return m_agentCallback(operation, session, requestId, pdu, magic);
    const auto now = std::chrono::steady_clock::now();
    const Options& options = station->options;
    if (station->device.silent(now) || station->hung)
        return 1;  // restarting or hung: nothing answers
    if (options.dropPercent > 0 && static_cast<int>(station->random() % 100) < options.dropPercent)
        return 1;
    if (refuseCommunity(*station, session, pdu))
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
    answer(session, snmp_clone_pdu(pdu), SNMP_ERR_NOACCESS, 1);
    return true;
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
    if (!index || value < 1 || value > 3 || !mayWrite(station, pdu))
        return false;  // the agent's own checks answer it
    if (station.transferRequest) {
        if (pdu->reqid == station.transferRequest->reqid)
            return true;  // the manager's retry of the set we are working on
        answer(session, snmp_clone_pdu(pdu), SNMP_ERR_RESOURCEUNAVAILABLE, index);
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
            answer(session, snmp_clone_pdu(pdu), status, position);
            return true;
        }
        if (name != command)
            updates.emplace_back(name, updated);
    }
    for (auto& [name, updated] : updates)
        *store.storage(name) = updated;
    store.storage(command)->number = value;
    const int status = device.startTransfer(static_cast<int>(value),
                                              ValueText(*store.storage(DeviceOid::Private("3.3.1.0"))),
                                              store.storage(DeviceOid::Private("3.3.2.0"))->bytes,
                                              store.storage(DeviceOid::Private("3.3.3.0"))->bytes);
    writeState(station);
    if (status != SNMP_ERR_NOERROR) {
        answer(session, snmp_clone_pdu(pdu), status, index);
        return true;
    }
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

void SnmpAgent::answer(netsnmp_session* session, netsnmp_pdu* request, int status, int index)
{
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
    if (!status || !station.transferRequest)
        return;
    writeState(station);
    answer(station.transferSession, station.transferRequest, *status, station.transferIndex);
    station.transferRequest = nullptr;
    station.transferSession = nullptr;
}

void SnmpAgent::releaseDelayed(Station& station)
{
    const auto now = std::chrono::steady_clock::now();
    while (!station.delayed.empty() && station.delayed.front().due <= now) {
        HeldRequest held = station.delayed.front();
        station.delayed.pop_front();
        if (!station.device.silent(now) && !station.hung && !takeTransferCommand(station, held.session, held.pdu))
            m_agentCallback(NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE, held.session, held.pdu->reqid, held.pdu, held.magic);
        snmp_free_pdu(held.pdu);
    }
}

void SnmpAgent::runOnce(int maxWaitMs)
{
    int descriptors = 0;
    int block = 0;
    fd_set readable;
    FD_ZERO(&readable);
    timeval timeout{0, maxWaitMs * 1000};
    timeval wanted = timeout;
    snmp_select_info(&descriptors, &readable, &wanted, &block);
    if (!block && (wanted.tv_sec < timeout.tv_sec || (wanted.tv_sec == timeout.tv_sec && wanted.tv_usec < timeout.tv_usec)))
        timeout = wanted;
    // The devices' TFTP transfers run on this loop too: their sockets are watched with the
    // agent's, and the nearest retransmission bounds the wait.
    const auto now = std::chrono::steady_clock::now();
    for (auto& station : m_stations) {
        const TftpTransfer* transfer = station->device.transfer();
        if (!transfer || transfer->descriptor() < 0 || transfer->descriptor() >= FD_SETSIZE)
            continue;
        FD_SET(transfer->descriptor(), &readable);
        descriptors = std::max(descriptors, transfer->descriptor() + 1);
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(transfer->deadline() - now).count();
        const long long current = timeout.tv_sec * 1000000LL + timeout.tv_usec;
        if (left < current) {
            timeout.tv_sec = left > 0 ? left / 1000000 : 0;
            timeout.tv_usec = left > 0 ? left % 1000000 : 0;
        }
    }
    const int ready = select(descriptors, &readable, nullptr, nullptr, &timeout);
    if (ready > 0)
        snmp_read(&readable);
    else if (ready == 0)
        snmp_timeout();
    run_alarms();
    netsnmp_check_outstanding_agent_requests();
    const auto woken = std::chrono::steady_clock::now();
    for (auto& station : m_stations) {
        Device& device = station->device;
        if (TftpTransfer* transfer = device.transfer()) {
            if (ready > 0 && transfer->descriptor() >= 0 && transfer->descriptor() < FD_SETSIZE &&
                FD_ISSET(transfer->descriptor(), &readable))
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
