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
    if (!writeConfig())
        return false;
    for (int attempt = 0; attempt < 3; ++attempt) {
        m_port = FreeUdpPort();
        if (launch())
            return true;
    }
    return false;
}

bool SnmpdAgent::restart(bool sameEngineId)
{
    stop();
    // The agent saves its engine ID and boots count, and nothing of the access lines, into the
    // configuration file (its persistent folder is the same one): the access lines are written
    // again, followed by the saved identity when it is to stay.
    QByteArray identity;
    QFile saved(m_folder.filePath("snmpd.conf"));
    if (sameEngineId && saved.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : saved.readAll().split('\n'))
            if (line.startsWith("oldEngineID ") || line.startsWith("engineBoots "))
                identity += line + '\n';
        saved.close();
    }
    if (!writeConfig())
        return false;
    if (!identity.isEmpty() && saved.open(QIODevice::Append))
        saved.write(identity);
    return launch();
}

bool SnmpdAgent::writeConfig()
{
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
    return true;
}

bool SnmpdAgent::launch()
{
    const QString snmpd = "/usr/sbin/snmpd";
    if (!QFileInfo::exists(snmpd)) {
        m_error = "snmpd is not installed (scripts/setup installs it)";
        return false;
    }
    const QString conf = m_folder.filePath("snmpd.conf");
    const QString log = m_folder.filePath("snmpd.log");
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
    QFile file(log);
    file.open(QIODevice::ReadOnly);
    m_error = "snmpd did not come up: " + file.readAll().toStdString();
    return false;
}

void SnmpdAgent::stop() { m_process.stop(); }
