#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Values as they travel in a PDU, free of the SNMP engine's own types, so the layers above
// never include its headers.
namespace SnmpType {
constexpr uint8_t Integer = 0x02;
constexpr uint8_t OctetString = 0x04;
constexpr uint8_t Null = 0x05;
constexpr uint8_t ObjectId = 0x06;
constexpr uint8_t IpAddress = 0x40;
constexpr uint8_t Counter32 = 0x41;
constexpr uint8_t Gauge32 = 0x42;
constexpr uint8_t TimeTicks = 0x43;
constexpr uint8_t Opaque = 0x44;
constexpr uint8_t Counter64 = 0x46;
// SNMPv2 exceptions in a response in place of a value.
constexpr uint8_t NoSuchObject = 0x80;
constexpr uint8_t NoSuchInstance = 0x81;
constexpr uint8_t EndOfMibView = 0x82;
} // namespace SnmpType

using OidValue = std::vector<uint32_t>;

struct SnmpVarBind {
    OidValue oid;
    uint8_t type = SnmpType::Null;
    // Integer (signed), Counter32 / Gauge32 / TimeTicks (0..2^32-1), Counter64.
    int64_t integer = 0;
    uint64_t counter64 = 0;
    // OctetString and Opaque bytes; IpAddress as its 4 bytes.
    std::string bytes;
    // ObjectId values.
    OidValue oidValue;

    bool isException() const { return type >= SnmpType::NoSuchObject && type <= SnmpType::EndOfMibView; }
};

// GetBulk asks, for each binding, for that many successors at once (its max-repetitions).
enum class PduKind { Get, GetNext, GetBulk, Set };

// The outcome of one exchange. status uses the numbering the error catalogue maps:
// 0 success; 1..19 the agent's error status (errorIndex from 1 names the variable);
// -5 time-out; 1401..1414 user-based security; -1402..-1418 message processing;
// other negative values down to -23 session and transport failures.
struct SnmpResponse {
    int status = 0;
    int errorIndex = 0;
    std::vector<SnmpVarBind> vbs;
};

constexpr int kStatusTimeout = -5;
// The agent answers from an engine ID the session could not learn.
constexpr int kStatusUnknownEngineId = 1410;

// "1.3.6.1" <-> {1,3,6,1}; parseOid returns false on anything but dotted decimal arcs.
bool ParseOid(const std::string& text, OidValue& oid);
std::string OidToText(const OidValue& oid);
