#pragma once

#include "snmp/SnmpTarget.h"
#include "snmp/SnmpTypes.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <vector>

// The translation between the session's own types and the engine's, for SnmpSession only.

// An SNMPv3 user's protocols and localized keys on an engine session about to be opened;
// 0 or the user-based security status that keeps it from opening (1412, 1413 for protocols
// the engine does not offer).
int ConfigureEngineUser(netsnmp_session& session, const SnmpTarget& target);
// A PDU with the target's security level, context or community and the bindings (values only
// for a set); a get-bulk asks for maxRepetitions successors of every binding.
netsnmp_pdu* BuildEnginePdu(const SnmpTarget& target, PduKind kind, const std::vector<SnmpVarBind>& vbs,
                            int maxRepetitions = 0);
// An answer (or a report, as its status) in the session's types.
SnmpResponse ConvertEngineResponse(netsnmp_pdu* pdu);
