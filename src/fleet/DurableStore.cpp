#include "fleet/DurableStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <map>

#include <fcntl.h>
#include <sys/stat.h>
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

// Flushes every file system that holds one of `folders` (each once) and returns the folders
// whose file system could not be flushed.
std::vector<QString> FlushFileSystems(const std::vector<QString>& folders)
{
    std::map<dev_t, bool> flushed;  // file system, and whether its flush succeeded
    std::vector<QString> failed;
    for (const QString& folder : folders) {
        const int fd = ::open(QFile::encodeName(folder).constData(), O_DIRECTORY | O_RDONLY | O_CLOEXEC);
        struct stat status {};
        if (fd < 0 || ::fstat(fd, &status) != 0) {
            if (fd >= 0)
                ::close(fd);
            failed.push_back(folder);
            continue;
        }
        auto [known, first] = flushed.try_emplace(status.st_dev, false);
        if (first)
            known->second = ::syncfs(fd) == 0;
        ::close(fd);
        if (!known->second)
            failed.push_back(folder);
    }
    return failed;
}

bool Contains(const std::vector<QString>& list, const QString& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

struct Result {
    QString path;  // the final path, empty on failure
    QString why;
};

// Flushes the temporary files, renames each, then flushes the new names.
std::vector<Result> StoreGroup(const std::vector<QString>& temporaries, const std::vector<QString>& finals)
{
    std::vector<Result> results(temporaries.size());
    std::vector<QString> folders;
    for (const QString& temporary : temporaries)
        folders.push_back(QFileInfo(temporary).path());
    const std::vector<QString> unwritten = FlushFileSystems(folders);

    std::vector<QString> renamedFolders;
    for (size_t i = 0; i < temporaries.size(); ++i) {
        const QString folder = QFileInfo(finals[i]).path();
        if (Contains(unwritten, folders[i])) {
            results[i].why = "cannot write the file to the disk";
        } else if (!QDir().mkpath(folder)) {
            results[i].why = "cannot create the folder " + folder;
        } else {
            // Each device has a folder of its own, so no other backup takes the same free name.
            const QString free = FreeName(finals[i]);
            if (::rename(QFile::encodeName(temporaries[i]).constData(), QFile::encodeName(free).constData()) == 0) {
                results[i].path = free;
                renamedFolders.push_back(folder);
            } else {
                results[i].why = "cannot store the file as " + free;
            }
        }
        if (results[i].path.isEmpty())
            QFile::remove(temporaries[i]);
    }

    const std::vector<QString> unnamed = FlushFileSystems(renamedFolders);
    for (Result& result : results) {
        const QString folder = QFileInfo(result.path).path();
        if (!result.path.isEmpty() && Contains(unnamed, folder)) {
            QFile::remove(result.path);  // a failed backup leaves no file
            result = {{}, "cannot write the folder " + folder + " to the disk"};
        }
    }
    return results;
}

}  // namespace

DurableStore::DurableStore() { m_worker.setMaxThreadCount(1); }

DurableStore::~DurableStore() { m_worker.waitForDone(); }

void DurableStore::store(const QString& temporary, const QString& final, Stored stored)
{
    std::lock_guard lock(m_mutex);
    m_waiting.push_back({temporary, final, std::move(stored)});
    if (m_working)
        return;  // the worker takes it with its next group
    m_working = true;
    // The destructor waits for the worker, so `this` outlives it.
    m_worker.start([this] { storeGroups(); });
}

void DurableStore::deliverNow()
{
    m_worker.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void DurableStore::storeGroups()
{
    for (;;) {
        std::vector<Entry> group;
        {
            std::lock_guard lock(m_mutex);
            if (m_waiting.empty()) {
                m_working = false;
                return;
            }
            group.swap(m_waiting);
        }
        std::vector<QString> temporaries, finals;
        for (const Entry& entry : group) {
            temporaries.push_back(entry.temporary);
            finals.push_back(entry.final);
        }
        const std::vector<Result> results = StoreGroup(temporaries, finals);
        for (size_t i = 0; i < group.size(); ++i) {
            QMetaObject::invokeMethod(this, [stored = group[i].stored, result = results[i]] {
                stored(!result.path.isEmpty(), result.path.isEmpty() ? result.why : result.path);
            }, Qt::QueuedConnection);
        }
    }
}
