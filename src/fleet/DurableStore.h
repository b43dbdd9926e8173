#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <functional>
#include <string>

// Gives received backups their final names once they are on the disk. Flushing a file takes
// milliseconds, and longer on a busy or remote disk; done one after another on the event loop,
// a site's hundred flushes would hold up every transfer still running, so they run on worker
// threads, in parallel, and each result comes back to the event loop.
class DurableStore : public QObject {
public:
    // ok, and the final path or why the file could not be stored.
    using Stored = std::function<void(bool ok, const QString& pathOrWhy)>;

    DurableStore();
    ~DurableStore() override;  // waits for the stores under way

    // Flushes `temporary` to the disk, renames it to `final` (or, when a file of that name is
    // there already, to a free name beside it) and flushes the folder's entry. The temporary
    // file is gone afterwards whatever the outcome. `stored` runs on this object's thread.
    void store(const QString& temporary, const QString& final, Stored stored);

private:
    QThreadPool m_pool;
};
