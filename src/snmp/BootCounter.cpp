#include "snmp/BootCounter.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace BootCounter {

namespace {

bool splitLine(const std::string& line, std::string& engine, std::string& count)
{
    const auto space = line.find_last_of(' ');
    if (space == std::string::npos || space == 0)
        return false;
    engine = line.substr(0, space);
    count = line.substr(space + 1);
    return true;
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// An exclusive lock on the folder of the count file, held while it lives. The folder is
// locked rather than the file, which is replaced by a rename, and no lock file is left.
class FolderLock {
public:
    explicit FolderLock(const std::string& folder)
        : m_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~FolderLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool held() const { return m_fd >= 0; }

private:
    int m_fd;
};

} // namespace

int load(const std::string& path, const std::string& engineId, unsigned& boots)
{
    boots = 0;
    std::ifstream file(path);
    if (!file)
        return kCannotOpen;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        std::string engine, count;
        if (!splitLine(line, engine, count))
            return kBadFile;
        if (engine != engineId)
            continue;
        try {
            size_t used = 0;
            const unsigned long value = std::stoul(count, &used);
            if (used != count.size() || value > 0x7FFFFFFFUL)
                return kBadFile;
            boots = static_cast<unsigned>(value);
            return kFound;
        } catch (const std::exception&) {
            return kBadFile;
        }
    }
    return kEngineNotInFile;
}

int save(const std::string& path, const std::string& engineId, unsigned boots)
{
    // A count file the user made read-only stays untouched, although renaming over it would work.
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0)
        return -1;
    std::vector<std::string> kept;
    {
        std::ifstream file(path);
        std::string line, engine, count;
        while (std::getline(file, line))
            if (splitLine(line, engine, count) && engine != engineId)
                kept.push_back(line);
    }
    // A temporary name of this process's own: two starts never write into each other's file.
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return -1;
    // The count keeps the permissions it had (a new one is readable by all, as before).
    struct stat existing {};
    ::fchmod(fd, ::stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644);
    std::ostringstream text;
    for (const std::string& line : kept)
        text << line << '\n';
    text << engineId << ' ' << boots << '\n';
    const std::string bytes = text.str();
    const bool written = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    if (::close(fd) != 0 || !written) {
        std::remove(temporary.c_str());
        return -1;
    }
    // Replace in one step: a crash mid-write must not lose the count.
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return -1;
    }
    return 0;
}

int advance(const std::string& path, const std::string& engineId, unsigned& boots)
{
    const FolderLock lock(folderOf(path));
    if (!lock.held())
        return kCannotSave;
    const int loaded = load(path, engineId, boots);
    if (loaded < kCannotOpen)
        return loaded;
    ++boots;
    return save(path, engineId, boots) == 0 ? 0 : kCannotSave;
}

} // namespace BootCounter
