#include "platform/InstanceLock.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool fromEnvironment(const char* variable, std::string& folder)
{
    const char* value = std::getenv(variable);
    if (!value || !*value)
        return false;
    folder = value;
    return true;
}

std::string userFolderInTemporary()
{
    std::string base;
    if (!fromEnvironment("TMPDIR", base))
        base = "/tmp";
    return base + "/vta-module-" + std::to_string(::geteuid());
}

// The shared temporary folder is everyone's: a folder there is used only when it is this
// user's own and closed to others, so nobody else can hold or remove our locks.
bool ensurePrivateFolder(const std::string& folder)
{
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
        && (info.st_mode & 077) == 0;
}

} // namespace

std::string InstanceLock::lockFolder()
{
    std::string folder;
    if (fromEnvironment("VTA_LOCK_DIR", folder) || fromEnvironment("XDG_RUNTIME_DIR", folder))
        return folder;
    return userFolderInTemporary();
}

std::string InstanceLock::lockFilePath(const std::string& name)
{
    // Percent-encode everything but plain characters so that distinct names never share a file.
    std::string encoded;
    for (unsigned char c : name) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.'
            || c == '-' || c == '_') {
            encoded += static_cast<char>(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            encoded += hex;
        }
    }
    return lockFolder() + "/vta-module-" + encoded + ".lock";
}

InstanceLock::InstanceLock(const std::string& name)
    : m_path(lockFilePath(name))
{
}

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool InstanceLock::acquire()
{
    if (m_fd >= 0)
        return true;
    const std::string folder = lockFolder();
    if (folder == userFolderInTemporary() && !ensurePrivateFolder(folder))
        return false;
    const int fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}
