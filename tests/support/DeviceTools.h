#pragma once

// Net-SNMP's own tools, for what a test does to the device on 127.0.0.1:port behind the
// page's back (SNMPv2c, public / private).

#include "binding/DeviceVariables.h"

#include <QString>

#include <cstdint>

// type is snmpset's letter ("i", "s", "a", "x"); true when the agent took the set.
bool ToolSet(uint16_t port, const QString& oid, const QString& type, const QString& value);
// Whether the device answers a get (e.g. after a restart).
bool ToolGetAnswers(uint16_t port, const QString& oid);
// Restarts the device and waits until it answers again.
void restartDevice(uint16_t port);
