#pragma once

#include <QString>

// Tests whose pages probe addresses with ICMP echoes run inside a network namespace of their
// own, so no echo ever leaves the machine: only loopback exists there, 10.9.8.1 answers on it,
// the rest of 10.9.8.0/24 is routed to loopback and stays silent, and every other address is
// unreachable. The test executable runs itself again inside such a namespace.

// Whether this process is the run inside the namespace.
bool InOwnNetwork();

// Runs the tests matching filter (a --gtest_filter pattern) inside a new namespace. False with
// why when namespaces are not allowed here (skip); otherwise sets passed and output.
struct OwnNetworkRun {
    bool started = false;
    bool passed = false;
    QString output;
};
OwnNetworkRun RunInOwnNetwork(const QString& filter);
