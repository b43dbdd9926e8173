#pragma once

#include "Device.h"
#include "DeviceEngine.h"
#include "Options.h"

#include <net-snmp/agent/net-snmp-agent-includes.h>

#include <chrono>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

// One simulated device as the agent serves it: its behaviour, its options and its own
// listening session.
struct AgentDevice {
    Device& device;
    const Options& options;
};

// The devices' SNMP agent: Net-SNMP's agent library as an embedded master agent in this
// process, one listening session (address and port) per device. Our handlers serve the
// objects of the device whose session the request came in on; a hook in front of the
// agent's packet callback implements silence during restarts, the fault knobs and the late
// answer of the TFTP command.
class SnmpAgent {
public:
    explicit SnmpAgent(const std::vector<AgentDevice>& devices);
    ~SnmpAgent();

    bool start(std::string& error);
    // Waits for requests and timers at most maxWaitMs and handles what arrived.
    void runOnce(int maxWaitMs);
    void writeStates();

private:
    struct HeldRequest;
    struct Station;

    static int HandleRequests(netsnmp_mib_handler* handler, netsnmp_handler_registration* registration,
                              netsnmp_agent_request_info* info, netsnmp_request_info* requests);
    static int ReceivePacket(int operation, netsnmp_session* session, int requestId, netsnmp_pdu* pdu,
                             void* magic);
    Station* stationOf(const netsnmp_session* session);
    bool openListener(Station& station, std::string& error);
    int handle(Station& station, const Oid& root, netsnmp_agent_request_info* info, netsnmp_request_info* requests);
    int receive(int operation, netsnmp_session* session, int requestId, netsnmp_pdu* pdu, void* magic);
    bool refuseCommunity(Station& station, netsnmp_session* session, netsnmp_pdu* pdu);
    bool refuseSecurityLevel(Station& station, netsnmp_session* session, netsnmp_pdu* pdu);
    bool dropOnce(Station& station, const netsnmp_pdu* pdu);
    bool takeTransferCommand(Station& station, netsnmp_session* session, netsnmp_pdu* pdu);
    bool mayWrite(const Station& station, const netsnmp_pdu* pdu) const;
    void answer(Station& station, netsnmp_session* session, netsnmp_pdu* request, int status, int index);
    void readStations();
    void finishTransfer(Station& station);
    void releaseDelayed(Station& station);
    int checkSet(Station& station, const Oid& instance, const netsnmp_variable_list* value, Variable& updated);
    void writeState(Station& station);
    void note(const Station& station, const std::string& text) const;
    void noteSet(Station& station, const Oid& instance) const;

    std::vector<std::unique_ptr<Station>> m_stations;
    // A site of a thousand devices is mostly idle: the loop visits only the devices that had a
    // request since they were last idle (see Station::busy), and finds a device by its socket.
    std::vector<Station*> m_active;
    std::vector<Station*> m_byListener;  // by listening socket
    int m_epoll = -1;                // the devices' listening sockets
    netsnmp_large_fd_set m_single{};  // one device's socket at a time, for the library's read
    netsnmp_large_fd_set m_scratch{}; // what the library would watch, only asked for its time-out
    std::string m_folder;
    bool m_verbose = false;
    int (*m_agentCallback)(int, netsnmp_session*, int, netsnmp_pdu*, void*) = nullptr;
};
