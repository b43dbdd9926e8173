#pragma once

#include "snmp/VariableDescriptor.h"

// The four columns of the simulated access point's client table that the walking benches
// read (MAC, band, authentication, signal), after the table's two index columns.
#define BENCH_CLIENT_ENTRY "1.3.6.1.4.1.32473.10.37.24.4.5.2.1"
inline const VariableDescriptor kClients[] = {
    {BENCH_CLIENT_ENTRY ".1", "BandIndex", kSyntaxInteger, kAccessNotAccessible},
    {BENCH_CLIENT_ENTRY ".1", "InfoIndex", kSyntaxInteger, kAccessNotAccessible},
    {BENCH_CLIENT_ENTRY ".2", "MAC", kSyntaxMacAddress, kAccessReadOnly},
    {BENCH_CLIENT_ENTRY ".3", "Band", kSyntaxInteger, kAccessReadOnly},
    {BENCH_CLIENT_ENTRY ".4", "Auth", kSyntaxInteger, kAccessReadOnly},
    {BENCH_CLIENT_ENTRY ".5", "RSSI", kSyntaxInteger, kAccessReadOnly},
    {nullptr, nullptr, 0, 0},
};
#undef BENCH_CLIENT_ENTRY
