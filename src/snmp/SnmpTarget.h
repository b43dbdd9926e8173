#pragma once

#include "snmp/SnmpSettings.h"

#include <cstdint>
#include <string>

// Where and how one exchange is sent: built from a request's copy of the settings.
struct SnmpTarget {
    std::string address;  // resolved dotted IPv4 address
    uint16_t port = 161;
    uint8_t version = 0;  // 0 SNMPv1, 1 SNMPv2c, 3 SNMPv3
    int timeout = 100;    // hundredths of a second
    int retries = 1;
    // SNMPv1 / SNMPv2c: community targets use both communities, get and get-next the read
    // one, set the write one.
    std::string readCommunity;
    std::string writeCommunity;
    // SNMPv3: the user; the communities are ignored.
    int securityLevel = kNoAuthNoPriv;
    std::string securityName;
    std::string authPassword;
    std::string privPassword;
    int authProtocol = kAuthNone;
    int privProtocol = kPrivNone;
    std::string contextName;
    std::string contextEngineId;

    bool isV3() const { return version == 3; }
};

// Resolves the agent's address (a host name or dotted IPv4) and copies the settings.
// Throws QvException -509 "Invalid IP Address or DNS name!" when it cannot be resolved.
SnmpTarget BuildTarget(const SnmpConnection& connection, int timeout, int retries);
