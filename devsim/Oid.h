#pragma once

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <optional>
#include <string>
#include <vector>

// An object identifier as a plain sequence of arcs; std::vector's ordering is the SNMP
// lexicographic order, so a sorted map of these answers get-next directly.
using Oid = std::vector<oid>;

std::optional<Oid> ParseOid(const std::string& dotted);  // "1.3.6" or ".1.3.6"
std::string OidText(const Oid& value);
void AppendOidText(std::string& out, const Oid& value);
Oid Concat(const Oid& prefix, const Oid& suffix);
bool HasPrefix(const Oid& value, const Oid& prefix);
