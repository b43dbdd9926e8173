#include "support/DevsimSite.h"

#include "support/DevsimProcess.h"
#include "support/FreePort.h"

#include <QFile>
#include <QJsonDocument>
#include <QRandomGenerator>

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
    const QString program = DevsimProcess::Program(m_error);
    if (program.isEmpty())
        return false;
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
        if (DevsimProcess::Launch(m_process, program, arguments, ready, m_error))
            return true;
    }
    return false;
}

void DevsimSite::stop() { m_process.stop(); }

QJsonObject DevsimSite::state(size_t device) { return DevsimProcess::Variables(m_process, stateFile(device)); }

QString DevsimSite::value(size_t device, const QString& instanceOid)
{
    return DevsimProcess::Value(state(device), instanceOid);
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
