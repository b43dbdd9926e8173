#pragma once

#include <string>
#include <utility>
#include <vector>

// One device and how to reach it, as the connect dialog asks for it. Levels and protocols
// are counted as the host counts them on the command line and in the parameter file.
struct DeviceConnection {
    std::string address;
    int port = 161;
    int version = 1;  // 0 SNMPv1, 1 SNMPv2c, 3 SNMPv3
    std::string readCommunity = "public";
    std::string writeCommunity = "private";
    std::string securityName;
    int securityLevel = 2;  // 0 noAuthNoPriv, 1 authNoPriv, 2 authPriv
    int authProtocol = 2;   // 1 HMAC-MD5, 2 HMAC-SHA, 3..6 HMAC-SHA-224/256/384/512
    int privProtocol = 3;   // 1 DES, 3 AES-128
    std::string authPassword;
    std::string privPassword;

    bool usesAuthentication() const { return version == 3 && securityLevel >= 1; }
    bool usesPrivacy() const { return version == 3 && securityLevel == 2; }
};

// What keeps the module from starting with these settings, in words for the user; empty
// when nothing does.
std::string ConnectionProblem(const DeviceConnection& connection);

// The keys of the device's parameter file (section "Program Information"), in the order
// they are written. The pass phrases are written only when kept; otherwise their keys are
// written empty, which the module reads as absent.
std::vector<std::pair<std::string, std::string>> ParameterFileKeys(const DeviceConnection& connection,
                                                                  bool keepPassPhrases);

// The module's command line for this device: the address first, then the communities,
// then (SNMPv3) the pass phrases in use. The agent port, the version and the rest of the
// SNMPv3 settings come from the parameter file, which is read before every argument after
// the address.
std::vector<std::string> ModuleArguments(const DeviceConnection& connection);
