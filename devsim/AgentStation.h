#pragma once

// What the agent keeps for each simulated device; shared by the agent's files.
#include "SnmpAgent.h"

#include <net-snmp/agent/net-snmp-agent-includes.h>

#include <chrono>
#include <deque>
#include <random>
#include <string>
#include <vector>

struct SnmpAgent::HeldRequest {
    std::chrono::steady_clock::time_point due;
    netsnmp_session* session;
    netsnmp_pdu* pdu;
    void* magic;
};

// A device with what its agent keeps for it: the session it listens on, requests held back
// by --delay-ms, and the TFTP command waiting for the end of its transfer.
struct SnmpAgent::Station {
    Station(Device& served, const Options& given, uint16_t index) : device(served), options(given), engine(index) {}

    Device& device;
    const Options& options;
    DeviceEngine engine;
    netsnmp_session* listener = nullptr;
    int socket = -1;  // the listener's
    void* handle = nullptr;  // the listener as the library's single-session calls take it
    std::deque<HeldRequest> delayed;
    netsnmp_pdu* transferRequest = nullptr;
    netsnmp_session* transferSession = nullptr;
    int transferIndex = 0;
    bool hung = false;  // --hang-after-set: a command left the device answering nothing
    bool active = false;  // listed for the agent's loop
    std::vector<Oid> dropOnce{options.dropOnce};  // --drop-once subtrees not dropped yet
    std::minstd_rand random{20261210};  // --drop-percent; small: a site has a thousand of these

    std::string listenAddress() const { return "udp:" + options.address + ":" + std::to_string(options.port); }
    // Makes this device's engine the library's, before its requests are read or answered.
    void enter() const { engine.enter(device.boots()); }
    // Whether the agent's loop has anything to do for the device: a transfer, a restart, held
    // requests or a command's late answer. A request starts each of them.
    bool busy() const { return device.transfer() || device.restartPending() || !delayed.empty() || transferRequest; }
};
