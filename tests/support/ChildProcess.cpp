#include "support/ChildProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

bool ChildProcess::start(const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& environment)
{
    m_output.clear();  // what a process printed belongs to its own run
    m_group = false;
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_process.start(program, arguments);
    return m_process.waitForStarted(10000);
}

bool ChildProcess::startGroup(const QString& program, const QStringList& arguments,
                              const QProcessEnvironment& environment)
{
    m_output.clear();
    m_group = true;
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setChildProcessModifier([] {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    m_process.start(program, arguments);
    return m_process.waitForStarted(10000);
}

void ChildProcess::signal(int number)
{
    const qint64 pid = m_process.processId();
    if (pid > 0)
        ::kill(m_group ? -static_cast<pid_t>(pid) : static_cast<pid_t>(pid), number);
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

void ChildProcess::pause() { signal(SIGSTOP); }

void ChildProcess::resume() { signal(SIGCONT); }

void ChildProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    const qint64 pid = m_process.processId();
    signal(SIGCONT);
    signal(SIGTERM);
    if (!m_process.waitForFinished(3000)) {
        signal(SIGKILL);
        m_process.waitForFinished(3000);
    }
    // What the group's leader started and left behind goes with it.
    if (m_group && pid > 0)
        ::kill(-static_cast<pid_t>(pid), SIGKILL);
}

void ChildProcess::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    signal(SIGKILL);
    m_process.waitForFinished(3000);
}
