#include "support/SnmpdAgent.h"

#include "support/FreePort.h"

#include <QFile>
#include <QFileInfo>

const SnmpdAgent::User SnmpdAgent::kShaDes = {"shades", "SHA", "shaauthpass1", "DES", "desprivpass1"};
const SnmpdAgent::User SnmpdAgent::kSha256Aes = {"sha256aes", "SHA-256", "sha256authpass", "AES", "aesprivpass1"};
const SnmpdAgent::User SnmpdAgent::kMd5Only = {"md5only", "MD5", "md5authpass1", "", ""};

SnmpdAgent::SnmpdAgent() = default;

SnmpdAgent::~SnmpdAgent() { stop(); }

bool SnmpdAgent::start()
{
    const QString snmpd = "/usr/sbin/snmpd";
    if (!QFileInfo::exists(snmpd)) {
        m_error = "snmpd is not installed (scripts/setup installs it)";
        return false;
    }
    const QString conf = m_folder.filePath("snmpd.conf");
    {
        QFile file(conf);
        if (!file.open(QIODevice::WriteOnly)) {
            m_error = "cannot write snmpd.conf";
            return false;
        }
        QByteArray text = "rocommunity public 127.0.0.1\n"
                          "rwcommunity private 127.0.0.1\n";
        for (const User& user : {kShaDes, kSha256Aes, kMd5Only}) {
            text += QByteArray("createUser ") + user.name + " " + user.auth + " \"" + user.authPass + "\"";
            if (*user.priv)
                text += QByteArray(" ") + user.priv + " \"" + user.privPass + "\"";
            text += "\n";
            text += QByteArray("rwuser ") + user.name + (*user.priv ? " priv\n" : " auth\n");
        }
        text += m_extraConfig;
        file.write(text);
    }
    const QString log = m_folder.filePath("snmpd.log");
    for (int attempt = 0; attempt < 3; ++attempt) {
        m_port = FreeUdpPort();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("MIBS", "");
        QFile::remove(log);
        const QStringList arguments = {"-f", "-C", "-c", conf, "--persistentDir=" + m_folder.path(),
                                       "-Lf", log, "udp:127.0.0.1:" + QString::number(m_port)};
        if (!m_process.start(snmpd, arguments, environment)) {
            m_error = "snmpd did not start";
            return false;
        }
        if (m_process.waitForFileText(log, "NET-SNMP version", 10000))
            return true;
        m_process.stop();
    }
    QFile file(log);
    file.open(QIODevice::ReadOnly);
    m_error = "snmpd did not come up: " + file.readAll().toStdString();
    return false;
}

void SnmpdAgent::stop() { m_process.stop(); }
