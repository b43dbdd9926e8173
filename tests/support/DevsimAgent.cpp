#include "support/DevsimAgent.h"

#include "support/FreePort.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QThread>
#include <csignal>

DevsimAgent::DevsimAgent(QStringList extraArguments) : m_extraArguments(std::move(extraArguments)) {}

DevsimAgent::~DevsimAgent() { stop(); }

QString DevsimAgent::stateFile() const { return m_folder.filePath("state.json"); }

bool DevsimAgent::start()
{
    const QString program = QStringLiteral(VTA_BIN_DIR) + "/vta-devsim";
    if (!QFileInfo::exists(program)) {
        m_error = "vta-devsim is not built at " + program.toStdString();
        return false;
    }
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
    const QString program = QStringLiteral(VTA_BIN_DIR) + "/vta-devsim";
    const QString ready = "vta-devsim ready on udp:127.0.0.1:" + QString::number(m_port);
    QStringList arguments = {"--port", QString::number(m_port), "--state-out", stateFile()};
    arguments += m_extraArguments;
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
    return false;
}

void DevsimAgent::stop() { m_process.stop(); }

QJsonObject DevsimAgent::state()
{
    // Ask for a fresh dump (SIGUSR1) and wait until it has been written.
    QFile::remove(stateFile());
    const qint64 pid = m_process.process().processId();
    if (pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGUSR1);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 3000) {
        QFile file(stateFile());
        if (file.open(QIODevice::ReadOnly)) {
            const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
            if (document.isObject())
                return document.object().value("variables").toObject();
        }
        QThread::msleep(10);
    }
    return {};
}

QString DevsimAgent::value(const QString& instanceOid)
{
    const QJsonValue value = state().value(instanceOid).toObject().value("value");
    return value.isDouble() ? QString::number(static_cast<qint64>(value.toDouble())) : value.toString();
}
