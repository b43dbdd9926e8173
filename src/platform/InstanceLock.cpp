#include "platform/InstanceLock.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

std::string InstanceLock::lockFolder()
{
    for (const char* variable : {"VTA_LOCK_DIR", "XDG_RUNTIME_DIR"})
        if (const char* folder = std::getenv(variable); folder && *folder)
            return folder;
    return "/tmp";
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
