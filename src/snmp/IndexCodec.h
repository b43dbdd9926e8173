#pragma once

#include "snmp/SnmpTypes.h"

#include <cstdint>
#include <string>

// Table index keys: a key's value text to the sub-identifiers of a row's instance and back.
// Strings and OIDs carry their length first, unless they are the last key and IMPLIED
// (then they take all remaining sub-identifiers).
namespace IndexCodec {

// The value text of one key read from subIds at pos; pos moves past it. Throws QvException
// -511 for a syntax that cannot be a key, -514 when too few sub-identifiers remain.
std::string Decode(int32_t syntax, bool impliedLast, const OidValue& subIds, size_t& pos);

// The sub-identifiers of a key's value text as dotted text ("2.10.11"). Throws -511 for a
// syntax that cannot be a key, -518 for an address, OID or time that cannot be read.
std::string Encode(int32_t syntax, bool impliedLast, const std::string& valueText);

} // namespace IndexCodec
