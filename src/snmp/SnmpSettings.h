#pragma once

#include <cstdint>
#include <string>

// The three process-wide connection settings. Start-up fills them once from the command
// line and the parameter file; every request copies them when it is constructed.

struct QvSNMPDeviceSettings {
    std::string address;  // host name or dotted IPv4 address of the agent
    uint16_t port = 0;
    // Table walks on SNMPv2c and SNMPv3 read many rows at once with get-bulk; off for a device
    // that answers get-bulk wrongly without saying so (its parameter file's GetBulk=0).
    bool getBulk = true;
};

struct QvSNMPScopeSettings {
    std::string contextEngineId;  // put into every SNMPv3 PDU
    std::string contextName;
};

// Security level codes (as on every PDU) and protocol codes of the settings.
enum SecurityLevelCode : int32_t { kNoAuthNoPriv = 1, kAuthNoPriv = 2, kAuthPriv = 3 };
// 1 none, 2 HMAC-MD5, 3 HMAC-SHA; 4..7 HMAC-SHA-224/256/384/512 (the last arc of the
// protocol's registered OID, for today's stronger choices).
enum AuthProtocolCode : int32_t {
    kAuthNone = 1, kAuthMD5 = 2, kAuthSHA = 3,
    kAuthSHA224 = 4, kAuthSHA256 = 5, kAuthSHA384 = 6, kAuthSHA512 = 7,
};
// 1 none, 2 DES, 4 AES-128, 9 IDEA (not offered by the SNMP engine in use).
enum PrivProtocolCode : int32_t { kPrivNone = 1, kPrivDES = 2, kPrivAES128 = 4, kPrivIDEA = 9 };

struct QvSNMPSecuritySettings {
    uint8_t version = 0;  // 0 SNMPv1, 1 SNMPv2c, 3 SNMPv3
    std::string readCommunity;
    std::string writeCommunity;
    int32_t securityModel = 0;
    int32_t securityLevel = 0;
    std::string securityName;
    std::string authPassword;
    std::string privPassword;
    int32_t authProtocol = 0;
    int32_t privProtocol = 0;
};

extern QvSNMPDeviceSettings QvSNMPDevice;
extern QvSNMPScopeSettings QvSNMPScope;
extern QvSNMPSecuritySettings QvSNMPSecurity;

// Timeout of a new request, in hundredths of a second; new requests also start with 1 retry.
extern int DefaultTimeout;
constexpr int kDefaultRetries = 1;

// The SNMPv3 identity of this module and the file that counts its starts.
inline constexpr const char* kLocalEngineId = "QvSNMP_PP_Application";
inline constexpr const char* kBootCounterFileName = "QvSNMP_PP_BootCounter";

// Sets every field of the three records to its library default and DefaultTimeout to 100.
void SetDefaultSnmpSettings();

// A request's copy of the settings, taken when it is constructed.
struct SnmpConnection {
    QvSNMPDeviceSettings device;
    QvSNMPScopeSettings scope;
    QvSNMPSecuritySettings security;

    static SnmpConnection current();
};
