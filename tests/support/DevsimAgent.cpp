#include "support/DevsimAgent.h"

#include "support/DevsimProcess.h"
#include "support/FreePort.h"

#include <QFile>
#include <QJsonDocument>

DevsimAgent::DevsimAgent(QStringList extraArguments) : m_extraArguments(std::move(extraArguments)) {}

DevsimAgent::~DevsimAgent() { stop(); }

QString DevsimAgent::stateFile() const { return m_folder.filePath("state.json"); }

bool DevsimAgent::start()
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        m_port = FreeUdpPort();
        if (launch())
            return true;
    }
    return false;
}

bool DevsimAgent::restart()
{
    stop();
    return launch();
}

bool DevsimAgent::launch()
{
    QStringList arguments = {"--port", QString::number(m_port), "--state-out", stateFile()};
    arguments += m_extraArguments;
    const QString program = DevsimProcess::Program(m_error);
    return !program.isEmpty() &&
           DevsimProcess::Launch(m_process, program, arguments,
                                 "vta-devsim ready on udp:127.0.0.1:" + QString::number(m_port), m_error);
}

void DevsimAgent::stop() { m_process.stop(); }

QJsonObject DevsimAgent::state() { return DevsimProcess::Variables(m_process, stateFile()); }

QString DevsimAgent::value(const QString& instanceOid) { return DevsimProcess::Value(state(), instanceOid); }

QString WriteDeviceState(const QString& path, const QJsonObject& variables)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(QJsonDocument(QJsonObject{{"model", "VTA-3100QX"}, {"kind", "state"}, {"variables", variables}})
                       .toJson());
    return path;
}
