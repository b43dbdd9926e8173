#include "support/TftpdServer.h"

#include "support/FreePort.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

bool TftpdServer::start(std::string& error, uint16_t port)
{
    const QString program = "/usr/sbin/in.tftpd";
    if (!QFileInfo::exists(program)) {
        error = "in.tftpd is not installed (scripts/setup installs tftpd-hpa)";
        return false;
    }
    // It drops its privileges: the folder must be open to anyone for stored files to arrive.
    QFile::setPermissions(m_folder.path(), QFileDevice::Permissions(0x7777));
    m_port = port ? port : FreeUdpPort();
    if (!m_process.start(program, {"-L", "-c", "-s", m_folder.path(), "-a", "127.0.0.1:" + QString::number(m_port)})) {
        error = "in.tftpd did not start";
        return false;
    }
    for (int i = 0; i < 200 && !UdpPortBound(m_port); ++i)
        QThread::msleep(10);
    if (!UdpPortBound(m_port)) {
        error = "in.tftpd did not listen: " + m_process.output().toStdString();
        return false;
    }
    return true;
}

void TftpdServer::put(const QString& name, const QByteArray& content) const
{
    QFile file(path(name));
    file.open(QIODevice::WriteOnly);
    file.write(content);
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther |
                        QFileDevice::ReadGroup);
}
