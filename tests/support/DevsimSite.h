#pragma once

#include "support/ChildProcess.h"

#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <string>
#include <vector>

// A site of simulated VTA-3100QX devices served by one vta-devsim process: device i listens
// on its own loopback address (127.N.M.i+1) and all share one free port, so each is told
// apart by its address as on a real network (its TFTP transfers leave from it too). Each
// device gets its own extra options and its own state file in a private folder.
class DevsimSite {
public:
    // One list of extra options per device, e.g. {{}, {"--drop-percent", "100"}}.
    explicit DevsimSite(std::vector<QStringList> devices);
    ~DevsimSite();

    // Starts it and waits for its ready line; false (with the reason in error()) otherwise.
    bool start();
    void stop();

    size_t size() const { return m_devices.size(); }
    QString address(size_t device) const;
    uint16_t port() const { return m_port; }
    QString stateFile(size_t device) const;
    // A folder that lives as long as this object, for files a test hands to the devices.
    QString folder() const { return m_folder.path(); }
    const std::string& error() const { return m_error; }

    // The device's state now: the "variables" object of its state JSON (every device writes
    // its state on SIGUSR1). Empty when it cannot be had.
    QJsonObject state(size_t device);
    QString value(size_t device, const QString& instanceOid);

private:
    std::vector<QStringList> m_devices;
    QTemporaryDir m_folder;
    ChildProcess m_process;
    QString m_network;  // "127.N.M."
    uint16_t m_port = 0;
    std::string m_error;
};

// A state file holding only the given instances ({oid, {type, value}}), for --state-in.
void WriteDevsimState(const QString& path, const std::vector<std::pair<QString, std::pair<QString, QString>>>& values);
