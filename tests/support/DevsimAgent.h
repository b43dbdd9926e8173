#pragma once

#include "support/ChildProcess.h"

#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <string>

// The simulated VTA-3100QX (build/bin/vta-devsim) on a free loopback port, started and
// stopped by the test. Communities "public" / "private"; SNMPv3 users md5des, shaaes and
// shaonly as devsim/README.md lists. Its state file lies in a private temporary folder.
// The device starts as freshly reset (LAN address 192.168.0.50/24); a test of the firmware
// or configuration page, which looks for a PC address in the device's network, passes
// {"--lan", "127.0.0.1/255.0.0.0"}.
class DevsimAgent {
public:
    // Extra command-line arguments, e.g. {"--restart-seconds", "1", "--clients", "1000"}.
    explicit DevsimAgent(QStringList extraArguments = {});
    ~DevsimAgent();

    // Starts it and waits for its ready line; false (with the reason in error()) otherwise.
    bool start();
    void stop();
    // Stops it and starts a new one on the same port, as a replaced unit at the same address:
    // every start of the simulator has an SNMPv3 engine ID of its own.
    bool restart();
    // The device stops answering (it hangs, its sockets stay open) and later goes on.
    void pause() { m_process.pause(); }
    void resume() { m_process.resume(); }

    uint16_t port() const { return m_port; }
    QString stateFile() const;
    // A folder that lives as long as this object, for files a test hands to the simulator.
    QString folder() const { return m_folder.path(); }
    const std::string& error() const { return m_error; }

    // The simulator's state as it is now: the "variables" object of its state JSON, keyed by
    // dotted instance OID, each {"name", "type", "value"}. Empty when it cannot be had.
    QJsonObject state();
    // The value of one instance in the current state, as text ("" when it is absent).
    QString value(const QString& instanceOid);

private:
    bool launch();

    QStringList m_extraArguments;
    QTemporaryDir m_folder;
    ChildProcess m_process;
    uint16_t m_port = 0;
    std::string m_error;
};

// Writes a state file for --state-in holding these variables (instance OID to an object of
// "type" and "value") and returns its path.
QString WriteDeviceState(const QString& path, const QJsonObject& variables);
