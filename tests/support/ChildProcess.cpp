#include "support/ChildProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <csignal>
#include <sys/prctl.h>

bool ChildProcess::start(const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& environment)
{
    m_output.clear();  // what a process printed belongs to its own run
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_process.start(program, arguments);
    return m_process.waitForStarted(10000);
}

bool ChildProcess::waitForFileText(const QString& path, const QString& text, int timeoutMs) const
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly) && QString::fromUtf8(file.readAll()).contains(text))
            return true;
        if (m_process.state() == QProcess::NotRunning)
            return false;
        QThread::msleep(20);
    }
    return false;
}

int ChildProcess::waitForExit(int timeoutMs)
{
    if (!m_process.waitForFinished(timeoutMs))
        return -1;
    m_output += m_process.readAll();
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

QByteArray ChildProcess::output()
{
    m_output += m_process.readAll();
    return m_output;
}

void ChildProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

void ChildProcess::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(3000);
}
