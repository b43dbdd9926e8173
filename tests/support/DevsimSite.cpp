#include "support/DevsimSite.h"

#include "support/FreePort.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QThread>
#include <csignal>

DevsimSite::DevsimSite(std::vector<QStringList> devices) : m_devices(std::move(devices))
{
    // A network of its own, so sites of tests running side by side never meet.
    const quint32 pick = QRandomGenerator::global()->bounded(1u, 250u * 250u);
    m_network = QString("127.%1.%2.").arg(pick / 250 + 1).arg(pick % 250 + 1);
}

DevsimSite::~DevsimSite() { stop(); }

QString DevsimSite::address(size_t device) const { return m_network + QString::number(device + 1); }

QString DevsimSite::stateFile(size_t device) const
{
    return m_folder.filePath("state-" + QString::number(device) + ".json");
}

bool DevsimSite::start()
{
    const QString program = QStringLiteral(VTA_BIN_DIR) + "/vta-devsim";
    if (!QFileInfo::exists(program)) {
        m_error = "vta-devsim is not built at " + program.toStdString();
        return false;
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        m_port = FreeUdpPort();
        QStringList arguments;
        QString ready = "vta-devsim ready on";
        for (size_t i = 0; i < m_devices.size(); ++i) {
            if (i > 0)
                arguments << "--next-device";
            arguments << "--address" << address(i) << "--port" << QString::number(m_port) << "--state-out"
                      << stateFile(i) << m_devices[i];
            ready += " udp:" + address(i) + ":" + QString::number(m_port);
        }
        if (!m_process.start(program, arguments)) {
            m_error = "vta-devsim did not start";
            return false;
        }
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000 && m_process.process().state() != QProcess::NotRunning) {
            m_process.process().waitForReadyRead(100);
            if (QString::fromUtf8(m_process.output()).contains(ready))
                return true;
        }
        m_error = "vta-devsim did not come up: " + m_process.output().toStdString();
        m_process.stop();
    }
    return false;
}

void DevsimSite::stop() { m_process.stop(); }

QJsonObject DevsimSite::state(size_t device)
{
    QFile::remove(stateFile(device));
    const qint64 pid = m_process.process().processId();
    if (pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGUSR1);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 3000) {
        QFile file(stateFile(device));
        if (file.open(QIODevice::ReadOnly)) {
            const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
            if (document.isObject())
                return document.object().value("variables").toObject();
        }
        QThread::msleep(10);
    }
    return {};
}

QString DevsimSite::value(size_t device, const QString& instanceOid)
{
    const QJsonValue value = state(device).value(instanceOid).toObject().value("value");
    return value.isDouble() ? QString::number(static_cast<qint64>(value.toDouble())) : value.toString();
}

void WriteDevsimState(const QString& path, const std::vector<std::pair<QString, std::pair<QString, QString>>>& values)
{
    QJsonObject variables;
    for (const auto& [oid, typed] : values)
        variables[oid] = QJsonObject{{"type", typed.first}, {"value", typed.second}};
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(QJsonDocument(QJsonObject{{"model", "VTA-3100QX"}, {"kind", "state"}, {"variables", variables}})
                       .toJson());
}
