#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A program a test starts and owns: killed with the test process (even when the test
// crashes) and stopped when this object goes.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool start(const QString& program, const QStringList& arguments,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    // The same, the program leading a process group of its own: stop() and kill() then end
    // what it started, too (a bus daemon's activated services, a launcher's bus).
    bool startGroup(const QString& program, const QStringList& arguments,
                    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    // Waits until the file holds the text (a log line saying the program is ready).
    bool waitForFileText(const QString& path, const QString& text, int timeoutMs) const;
    // Waits for the program to end on its own; its exit code, or -1 on time-out or crash.
    int waitForExit(int timeoutMs);
    void stop();
    // Sends SIGKILL and reaps the process.
    void kill();
    // Stops the program where it stands (SIGSTOP) and lets it go on (SIGCONT): a program that
    // hangs. stop() lets it go on first, so it can end as asked.
    void pause();
    void resume();

    QProcess& process() { return m_process; }
    QByteArray output();

private:
    void signal(int number);

    QProcess m_process;
    QByteArray m_output;
    bool m_group = false;
};
