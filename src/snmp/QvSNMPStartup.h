#pragma once

#include <string>

// Starts the SNMP library: the session, the SNMPv3 engine identity with its boots counter
// advanced by one, the default connection settings and the event pump. Throws QvException
// -506 (no session), -507 (boots file unreadable) or -508 (boots file not writable).
// The boots file "QvSNMP_PP_BootCounter" lies in configFolder (the current folder when empty).
void QvSNMPStartup(const std::string& configFolder);

// The boots file path for a configuration folder.
std::string BootCounterPath(const std::string& configFolder);
