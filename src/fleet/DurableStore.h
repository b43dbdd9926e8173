#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <mutex>
#include <vector>

// Gives received backups their final names once they are on the disk. A flush waits for the
// disk, a millisecond and longer on a busy or remote one, and a site's backups finish close
// together: flushing each file and each folder on its own would cost two disk flushes a
// device. So the backups that finish while one group is being flushed form the next group,
// flushed with one call per file system before their renames and one after, on a worker
// thread; each result comes back to the event loop. That call also writes out whatever else
// waits on the file system, so a backup folder shared with a heavy writer is slower to store.
class DurableStore : public QObject {
public:
    // ok, and the final path or why the file could not be stored.
    using Stored = std::function<void(bool ok, const QString& pathOrWhy)>;

    DurableStore();
    ~DurableStore() override;  // waits for the stores under way

    // Flushes `temporary` to the disk, renames it to `final` (or, when a file of that name is
    // there already, to a free name beside it) and flushes the new name. The temporary file is
    // gone afterwards whatever the outcome. `stored` runs on this object's thread.
    void store(const QString& temporary, const QString& final, Stored stored);
    // Waits for the stores under way and runs their `stored` now, for a run that ends before
    // its event loop would have delivered them.
    void deliverNow();

private:
    struct Entry {
        QString temporary;
        QString final;
        Stored stored;
    };
    // On the worker: stores group after group until none is waiting.
    void storeGroups();

    QThreadPool m_worker;
    std::mutex m_mutex;
    std::vector<Entry> m_waiting;  // guarded by m_mutex
    bool m_working = false;        // guarded by m_mutex
};
