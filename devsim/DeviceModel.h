#pragma once

#include "Mib.h"

// Where the device's objects live.
extern const Oid kPrivateRoot;  // 1.3.6.1.4.1.32473.10.37.24
extern const Oid kSystemGroup;  // 1.3.6.1.2.1.1
extern const Oid kSignalRoot;   // 1.3.6.1.4.1.32473.10.37.14 (signal strength, optional)

// Instances the device's behaviour refers to by name.
namespace DeviceOid {
Oid Private(const char* suffix);  // kPrivateRoot + suffix
Oid System(const char* suffix);
}

// Every object of a freshly reset VTA-3100QX (radio 1 in use, radio 2 present but switched
// off, DHCP server on, no WDS partners, no guests), built once and shared by every device.
const MibShape& DeviceShape();

// Number of rows of the fixed-size tables (static DHCP leases, MAC filter per radio).
constexpr int kStaticLeaseRows = 16;
constexpr int kMacFilterRows = 16;
