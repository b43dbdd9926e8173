#pragma once

#include "shell/DeviceConnection.h"

#include <string>

// The connect dialog asks the device once, with the settings as typed, before it writes
// anything: a refusal is shown beside the field that caused it, while the user can still
// correct it, instead of in the main window's status bar once the module runs.

// The field the user should look at when the device refused or did not answer.
enum class ConnectionField { None, Address, Community, SecurityName, AuthPassword, PrivPassword };

struct ConnectionTry {
    ConnectionField field = ConnectionField::None;  // None: the device answered
    std::string text;                               // why, for the user; empty when it answered
};

// One get of the device's up time with these settings (starting the SNMP library when it has
// not been started). The wait runs the event loop, so the dialog paints meanwhile. Throws
// QvException when the SNMP library cannot start.
ConnectionTry TryConnection(const DeviceConnection& connection);

// The field a failure points at, from the catalogued code of the request's error: an unknown
// user at the user name, a wrong digest at the authentication pass phrase, what cannot be
// decrypted at the privacy pass phrase, no answer at the address and port (on SNMPv1 and
// SNMPv2c at the community, since a device ignores a community it does not know). None for an
// answer, also one with an error status about the variable: the settings reached the device.
ConnectionField FieldAtFault(int code, const DeviceConnection& connection);
