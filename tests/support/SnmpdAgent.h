#pragma once

#include "support/ChildProcess.h"

#include <QTemporaryDir>
#include <cstdint>
#include <string>

// Net-SNMP's own agent on a free loopback port: an agent nobody here wrote, to check our
// SNMP layer against. Communities "public" (read) and "private" (write); SNMPv3 users
// below; sysContact, sysName and sysLocation are writable.
class SnmpdAgent {
public:
    struct User {
        const char* name;
        const char* auth;      // snmpd's name of the authentication protocol
        const char* authPass;
        const char* priv;      // "DES", "AES" or "" for authNoPriv
        const char* privPass;
    };
    static const User kShaDes;
    static const User kSha256Aes;
    static const User kMd5Only;

    SnmpdAgent();
    ~SnmpdAgent();

    // Further snmpd.conf lines (views, communities, extra objects); call before start().
    void addConfigLines(const QByteArray& lines) { m_extraConfig += lines; }

    // Starts the agent; false (with the reason in error()) when it does not come up.
    bool start();
    void stop();
    // Stops it and starts it again on the same port: with the same engine ID (its boots
    // count one higher), or as a freshly configured agent with an engine ID of its own.
    bool restart(bool sameEngineId);

    uint16_t port() const { return m_port; }
    const std::string& error() const { return m_error; }

private:
    bool writeConfig();
    bool launch();

    QTemporaryDir m_folder;
    ChildProcess m_process;
    uint16_t m_port = 0;
    std::string m_error;
    QByteArray m_extraConfig;
};
