#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <csignal>
#include <memory>

// SIGINT and SIGTERM end a run early but cleanly: the first one is announced on the event
// loop (no new device starts, the ones in flight are ended, temporary files go, the summary
// is printed); a second one ends the process at once with status 130.
class StopSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; the object lives until the process ends.
    static StopSignals& install();
    // The installed object; null before install().
    static StopSignals* installed();

    // The signal that asked the run to stop; 0 while none has.
    int received() const { return m_received; }

signals:
    void stopRequested();

private:
    StopSignals();
    void announce();

    std::unique_ptr<QSocketNotifier> m_notifier;
    int m_received = 0;
};
