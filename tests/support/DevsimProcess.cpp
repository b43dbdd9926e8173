#include "support/DevsimProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QThread>

#include <csignal>

namespace DevsimProcess {

QString Program(std::string& error)
{
    const QString program = QStringLiteral(VTA_BIN_DIR) + "/vta-devsim";
    if (QFileInfo::exists(program))
        return program;
    error = "vta-devsim is not built at " + program.toStdString();
    return {};
}

bool Launch(ChildProcess& process, const QString& program, const QStringList& arguments, const QString& ready,
            std::string& error)
{
    if (!process.start(program, arguments)) {
        error = "vta-devsim did not start";
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000 && process.process().state() != QProcess::NotRunning) {
        process.process().waitForReadyRead(100);
        if (QString::fromUtf8(process.output()).contains(ready))
            return true;
    }
    error = "vta-devsim did not come up: " + process.output().toStdString();
    process.stop();
    return false;
}

QJsonObject Variables(ChildProcess& process, const QString& stateFile)
{
    // Ask for a fresh dump and wait until it has been written.
    QFile::remove(stateFile);
    const qint64 pid = process.process().processId();
    if (pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGUSR1);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 3000) {
        QFile file(stateFile);
        if (file.open(QIODevice::ReadOnly)) {
            const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
            if (document.isObject())
                return document.object().value("variables").toObject();
        }
        QThread::msleep(10);
    }
    return {};
}

QString Value(const QJsonObject& variables, const QString& instanceOid)
{
    const QJsonValue value = variables.value(instanceOid).toObject().value("value");
    return value.isDouble() ? QString::number(static_cast<qint64>(value.toDouble())) : value.toString();
}

}  // namespace DevsimProcess
