#pragma once

// Runs build/bin/vta-fleet for a test: its exit code, standard output (parsed as JSON when
// it is) and standard error, optionally as the unprivileged user nobody (for the faults that
// show only without root) or behind a wrapper program (unshare ...).
#include <QJsonArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct FleetResult {
    int exitCode = -1;  // -1: did not end in time, or crashed
    QString output;
    QString errors;
    QJsonArray outcomes;  // output as a JSON array, when it is one

    // The outcome of the device with this label; empty when there is none.
    QJsonObject outcome(const QString& device) const;
};

struct FleetRunOptions {
    bool asNobody = false;
    QStringList wrapper;  // a program and its arguments that run vta-fleet ("$0" "$@")
    int timeoutMs = 120000;
};

// The environment of a run: this process's, with HOME (where vta-fleet keeps its SNMP boots
// counter) set to home and no XDG_DATA_HOME.
QProcessEnvironment FleetEnvironment(const QString& home);

FleetResult RunFleetTool(const QStringList& arguments, const QProcessEnvironment& environment,
                         const FleetRunOptions& options = {});

// Whether this process may run a program as nobody (only root may).
bool CanRunAsNobody();
