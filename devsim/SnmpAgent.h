#pragma once

#include "Device.h"
#include "Options.h"

#include <net-snmp/agent/net-snmp-agent-includes.h>

#include <chrono>
#include <deque>
#include <random>
#include <string>

// The device's SNMP agent: Net-SNMP's agent library as an embedded master agent in this
// process. Our handlers serve the device's objects; a hook in front of the agent's packet
// callback implements silence during restarts, the fault knobs and the late answer of the
// TFTP command.
class SnmpAgent {
public:
    SnmpAgent(Device& device, const Options& options);
    ~SnmpAgent();

    bool start(std::string& error);
    // Waits for requests and timers at most maxWaitMs and handles what arrived.
    void runOnce(int maxWaitMs);
    void writeState();

private:
    struct HeldRequest;

    static int HandleRequests(netsnmp_mib_handler* handler, netsnmp_handler_registration* registration,
                              netsnmp_agent_request_info* info, netsnmp_request_info* requests);
    static int ReceivePacket(int operation, netsnmp_session* session, int requestId, netsnmp_pdu* pdu,
                             void* magic);
    int handle(const Oid& root, netsnmp_agent_request_info* info, netsnmp_request_info* requests);
    int receive(int operation, netsnmp_session* session, int requestId, netsnmp_pdu* pdu, void* magic);
    bool takeTransferCommand(netsnmp_session* session, netsnmp_pdu* pdu);
    bool mayWrite(const netsnmp_pdu* pdu) const;
    void answer(netsnmp_session* session, netsnmp_pdu* request, int status, int index);
    void finishTransfer();
    void releaseDelayed();
    int checkSet(const Oid& instance, const netsnmp_variable_list* value, Variable& updated);

    Device& m_device;
    const Options& m_options;
    std::string m_folder;
    netsnmp_session* m_listener = nullptr;
    int (*m_agentCallback)(int, netsnmp_session*, int, netsnmp_pdu*, void*) = nullptr;
    std::deque<HeldRequest> m_delayed;
    netsnmp_pdu* m_transferRequest = nullptr;  // the set waiting for the end of a transfer
    netsnmp_session* m_transferSession = nullptr;
    int m_transferIndex = 0;
    std::mt19937 m_random{20261210};
};
