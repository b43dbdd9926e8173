#include "fleet/DurableStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The path itself, or with "-2", "-3", ... before its suffix when a file of that name is
// there already (a backup of the same second).
QString FreeName(const QString& path)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix().isEmpty() ? QString() : "." + info.suffix();
    const QString stem = path.chopped(suffix.size());
    QString candidate = path;
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = stem + "-" + QString::number(n) + suffix;
    return candidate;
}

bool Flush(const QString& path, bool folder)
{
    const int fd = ::open(QFile::encodeName(path).constData(), (folder ? O_DIRECTORY : 0) | O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool flushed = (folder ? ::fsync(fd) : ::fdatasync(fd)) == 0;
    ::close(fd);
    return flushed;
}

// On a worker thread: the final path, or empty with `why` set.
QString StoreNow(const QString& temporary, const QString& final, QString& why)
{
    const QString folder = QFileInfo(final).path();
    if (!Flush(temporary, false)) {
        why = "cannot write the file to the disk";
    } else if (!QDir().mkpath(folder)) {
        why = "cannot create the folder " + folder;
    } else {
        // Each device has a folder of its own, so no other worker picks the same free name.
        const QString free = FreeName(final);
        if (!QFile::rename(temporary, free)) {
            why = "cannot store the file as " + free;
        } else if (!Flush(folder, true)) {
            why = "cannot write the folder " + folder + " to the disk";
            QFile::remove(free);  // a failed backup leaves no file
        } else {
            return free;
        }
    }
    QFile::remove(temporary);
    return {};
}

}  // namespace

DurableStore::DurableStore()
{
    // Flushes wait on the disk, not the processor: several at once let it merge them.
    m_pool.setMaxThreadCount(16);
}

DurableStore::~DurableStore() { m_pool.waitForDone(); }

void DurableStore::store(const QString& temporary, const QString& final, Stored stored)
{
    // The destructor waits for the workers, so `this` outlives each of them.
    m_pool.start([this, temporary, final, stored = std::move(stored)] {
        QString why;
        const QString path = StoreNow(temporary, final, why);
        QMetaObject::invokeMethod(this, [stored, path, why] {
            stored(!path.isEmpty(), path.isEmpty() ? why : path);
        }, Qt::QueuedConnection);
    });
}
