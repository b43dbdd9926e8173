#include "SnmpAgent.h"

#include "DeviceModel.h"
#include "StateFile.h"

#include <net-snmp/agent/net-snmp-agent-includes.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/select.h>
#include <unistd.h>

extern "C" {
// The agent library's listening session; declared in no public header.
extern netsnmp_session* main_session;
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

SnmpAgent::SnmpAgent(Device& device, const Options& options) : m_device(device), m_options(options)
{
    g_agent = this;
}

SnmpAgent::~SnmpAgent()
{
    for (HeldRequest& held : m_delayed)
        snmp_free_pdu(held.pdu);
    if (m_transferRequest)
        snmp_free_pdu(m_transferRequest);
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
        std::ofstream conf(m_folder + "/" + kApplication + ".conf");
        conf << "rocommunity " << m_options.readCommunity << " default\n";
        conf << "rwcommunity " << m_options.writeCommunity << " default\n";
        for (const UsmUser& user : m_options.users) {
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
    const std::string listen = "udp:" + m_options.address + ":" + std::to_string(m_options.port);
    netsnmp_ds_set_string(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_PORTS, listen.c_str());
    if (m_options.verbose)
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
        (m_device.settings().signalStrength && !registerTree("vta-signal", kSignalRoot))) {
        error = "cannot register the device's objects with the agent library";
        return false;
    }
    init_snmp(kApplication);
    if (init_master_agent() != 0 || !main_session) {
        error = "cannot listen on " + listen + " (address in use or not available)";
        return false;
    }
    // Put our hook in front of the agent's packet handler.
    m_listener = main_session;
    m_agentCallback = m_listener->callback;
    m_listener->callback = ReceivePacket;
    return true;
}

int SnmpAgent::HandleRequests(netsnmp_mib_handler*, netsnmp_handler_registration* registration,
                              netsnmp_agent_request_info* info, netsnmp_request_info* requests)
{
    return g_agent->handle(Oid(registration->rootoid, registration->rootoid + registration->rootoid_len), info,
                           requests);
}

int SnmpAgent::checkSet(const Oid& instance, const netsnmp_variable_list* value, Variable& updated)
{
    for (const RefusedSet& refused : m_options.refusedSets)
        if (refused.instance == instance)
            return refused.status;
    Variable* variable = m_device.store().storage(instance);
    if (!variable)
        return m_device.store().find(instance) ? SNMP_ERR_GENERR : SNMP_ERR_NOCREATION;
    const int status = CheckSetValue(*variable, value->type, value->val.string, value->val_len, updated);
    return status != SNMP_ERR_NOERROR ? status : m_device.checkSet(instance, updated);
}

int SnmpAgent::handle(const Oid& root, netsnmp_agent_request_info* info, netsnmp_request_info* requests)
{
    MibStore& store = m_device.store();
    bool changed = false;
    for (netsnmp_request_info* request = requests; request; request = request->next) {
        if (request->processed)
            continue;
        const Oid name = NameOf(request->requestvb);
        switch (info->mode) {
        case MODE_GET: {
            Variable* variable = store.storage(name);
            if (!variable) {
                // An object with other instances gives noSuchInstance, an unknown one noSuchObject.
                const Oid object(name.begin(), name.end() - (name.empty() ? 0 : 1));
                const auto* sibling = store.next(object, object);
                netsnmp_set_request_error(info, request, sibling ? SNMP_NOSUCHINSTANCE : SNMP_NOSUCHOBJECT);
                break;
            }
            m_device.refreshLive(name, *variable);
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
            m_device.refreshLive(next->first, *variable);
            Answer(request, *variable);
            break;
        }
        case MODE_SET_RESERVE1: {
            Variable updated;
            const int status = checkSet(name, request->requestvb, updated);
            if (status != SNMP_ERR_NOERROR)
                netsnmp_set_request_error(info, request, status);
            break;
        }
        case MODE_SET_ACTION: {
            Variable updated;
            if (checkSet(name, request->requestvb, updated) != SNMP_ERR_NOERROR) {
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
            if (m_options.verbose)
                std::fprintf(stderr, "vta-devsim: set %s = %s\n", OidText(name).c_str(),
                             ValueText(*store.storage(name)).c_str());
            m_device.committed(name);
            changed = true;
            break;
        default:
            break;
        }
    }
    if (changed)
        writeState();  // before the answer leaves, so a test reading it after the answer sees the set
    return SNMP_ERR_NOERROR;
}

int SnmpAgent::ReceivePacket(int operation, netsnmp_session* session, int requestId, netsnmp_pdu* pdu, void* magic)
{
    return g_agent->receive(operation, session, requestId, pdu, magic);
}

int SnmpAgent::receive(int operation, netsnmp_session* session, int requestId, netsnmp_pdu* pdu, void* magic)
{
    if (operation != NETSNMP_CALLBACK_OP_RECEIVED_MESSAGE)
        return m_agentCallback(operation, session, requestId, pdu, magic);
    const auto now = std::chrono::steady_clock::now();
    if (m_device.silent(now))
        return 1;  // restarting: nothing answers
    if (m_options.dropPercent > 0 && static_cast<int>(m_random() % 100) < m_options.dropPercent)
        return 1;
    if (m_options.delayMs > 0) {
        m_delayed.push_back({now + std::chrono::milliseconds(m_options.delayMs), session, snmp_clone_pdu(pdu), magic});
        return 1;
    }
    if (takeTransferCommand(session, pdu))
        return 1;
    return m_agentCallback(operation, session, requestId, pdu, magic);
}

bool SnmpAgent::mayWrite(const netsnmp_pdu* pdu) const
{
    if (pdu->version == SNMP_VERSION_1 || pdu->version == SNMP_VERSION_2c)
        return pdu->community && std::string(reinterpret_cast<const char*>(pdu->community), pdu->community_len) ==
                                     m_options.writeCommunity;
    if (pdu->version != SNMP_VERSION_3 || !pdu->securityName || (pdu->contextName && pdu->contextNameLen))
        return false;
    for (const UsmUser& user : m_options.users)
        if (user.name == std::string(pdu->securityName, pdu->securityNameLen))
            return pdu->securityLevel >= (user.privProtocol.empty() ? SNMP_SEC_LEVEL_AUTHNOPRIV
                                                                    : SNMP_SEC_LEVEL_AUTHPRIV);
    return false;
}

// The TFTP command is answered only when its transfer has ended, while the agent keeps
// answering everything else. Net-SNMP's delegated requests would hold every other request
// back while a set is pending, so such a set is taken out of the agent here and its
// answer is built when the transfer ends.
bool SnmpAgent::takeTransferCommand(netsnmp_session* session, netsnmp_pdu* pdu)
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
    if (!index || value < 1 || value > 3 || !mayWrite(pdu))
        return false;  // the agent's own checks answer it
    if (m_transferRequest) {
        if (pdu->reqid == m_transferRequest->reqid)
            return true;  // the manager's retry of the set we are working on
        answer(session, snmp_clone_pdu(pdu), SNMP_ERR_RESOURCEUNAVAILABLE, index);
        return true;
    }
    // Check and store the other values of the same set first: the transfer uses them.
    MibStore& store = m_device.store();
    std::vector<std::pair<Oid, Variable>> updates;
    position = 0;
    for (const netsnmp_variable_list* vb = pdu->variables; vb; vb = vb->next_variable) {
        ++position;
        Variable updated;
        const Oid name = NameOf(vb);
        int status = name == command ? SNMP_ERR_NOERROR : checkSet(name, vb, updated);
        for (const RefusedSet& refused : m_options.refusedSets)
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
    const int status = m_device.startTransfer(static_cast<int>(value),
                                              ValueText(*store.storage(DeviceOid::Private("3.3.1.0"))),
                                              store.storage(DeviceOid::Private("3.3.2.0"))->bytes,
                                              store.storage(DeviceOid::Private("3.3.3.0"))->bytes);
    writeState();
    if (status != SNMP_ERR_NOERROR) {
        answer(session, snmp_clone_pdu(pdu), status, index);
        return true;
    }
    m_transferRequest = snmp_clone_pdu(pdu);
    m_transferSession = session;
    m_transferIndex = index;
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

void SnmpAgent::finishTransfer()
{
    const std::optional<int> status = m_device.finishedTransfer();
    if (!status || !m_transferRequest)
        return;
    writeState();
    answer(m_transferSession, m_transferRequest, *status, m_transferIndex);
    m_transferRequest = nullptr;
    m_transferSession = nullptr;
}

void SnmpAgent::releaseDelayed()
{
    const auto now = std::chrono::steady_clock::now();
    while (!m_delayed.empty() && m_delayed.front().due <= now) {
        HeldRequest held = m_delayed.front();
        m_delayed.pop_front();
        if (!m_device.silent(now) && !takeTransferCommand(held.session, held.pdu))
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
    const int ready = select(descriptors, &readable, nullptr, nullptr, &timeout);
    if (ready > 0)
        snmp_read(&readable);
    else if (ready == 0)
        snmp_timeout();
    run_alarms();
    netsnmp_check_outstanding_agent_requests();
    const unsigned boots = m_device.boots();
    m_device.poll(std::chrono::steady_clock::now());
    if (m_device.boots() != boots)
        writeState();  // the running status changed with the restart
    releaseDelayed();
    finishTransfer();
}

void SnmpAgent::writeState()
{
    if (m_options.stateOut.empty())
        return;
    Variable* upTime = m_device.store().find(DeviceOid::System("3.0"));
    m_device.refreshLive(DeviceOid::System("3.0"), *upTime);
    std::string error;
    if (!WriteFileAtomically(m_options.stateOut, StateJson(m_device.store(), false, upTime->number), error))
        std::fprintf(stderr, "vta-devsim: %s\n", error.c_str());
}
