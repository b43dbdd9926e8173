#pragma once

#include "snmp/SnmpTypes.h"
#include "snmp/VariableDescriptor.h"

#include <cstdint>
#include <iterator>

// Every syntax a variable may be declared with, and every type an agent may answer with,
// so that a fuzzer picks any pairing of the two (an agent may answer any variable with any type).
inline constexpr int32_t kAllSyntaxes[] = {
    kSyntaxBoolean, kSyntaxInteger, kSyntaxBitString, kSyntaxOctetString, kSyntaxNull, kSyntaxObjectId,
    kSyntaxIpAddress, kSyntaxCounter, kSyntaxGauge, kSyntaxTimeTicks, kSyntaxOpaque, kSyntaxNsapAddress,
    kSyntaxCounter64, kSyntaxUInteger, kSyntaxDouble, kSyntaxMacAddress, kSyntaxDateTime, kSyntaxBcDateTime,
    kSyntaxDisplayString, kSyntaxBool8, kSyntaxInt8, kSyntaxUInt8, kSyntaxBool16, kSyntaxInt16, kSyntaxUInt16, 0};
inline constexpr uint8_t kAllTypes[] = {
    SnmpType::Integer,  SnmpType::OctetString, SnmpType::Null,    SnmpType::ObjectId,
    SnmpType::IpAddress, SnmpType::Counter32,  SnmpType::Gauge32, SnmpType::TimeTicks,
    SnmpType::Opaque,   SnmpType::Counter64,   SnmpType::NoSuchObject, SnmpType::NoSuchInstance,
    SnmpType::EndOfMibView};

template <typename Provider>
int32_t PickSyntax(Provider& input)
{
    return kAllSyntaxes[input.template ConsumeIntegralInRange<size_t>(0, std::size(kAllSyntaxes) - 1)];
}
