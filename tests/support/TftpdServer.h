#pragma once

#include "support/ChildProcess.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <string>

// tftp-hpa's server (in.tftpd) in listen mode on a loopback port: a TFTP peer nobody here
// wrote, serving (and accepting files into) a temporary folder of its own.
class TftpdServer {
public:
    // Starts it on the port (a free one when 0); false with the reason in error otherwise.
    bool start(std::string& error, uint16_t port = 0);
    uint16_t port() const { return m_port; }
    QString path(const QString& name) const { return m_folder.filePath(name); }
    // A file the server may hand out (it drops its privileges, so anyone may read it).
    void put(const QString& name, const QByteArray& content) const;

private:
    QTemporaryDir m_folder;
    ChildProcess m_process;
    uint16_t m_port = 0;
};
