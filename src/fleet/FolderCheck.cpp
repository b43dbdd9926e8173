#include "fleet/FolderCheck.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

bool FolderTakesFiles(const std::string& folder, std::string& why)
{
    std::error_code failure;
    std::filesystem::create_directories(folder, failure);
    if (failure) {
        why = failure.message();
        return false;
    }
    std::string probe = folder + "/.vta-fleet-probe-XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) {
        why = std::strerror(errno);
        return false;
    }
    // A full file system still creates a file; its first block is refused.
    const char block[4096] = {};
    const ssize_t written = ::write(fd, block, sizeof block);
    const int error = written < 0 ? errno : ENOSPC;
    ::close(fd);
    ::unlink(probe.c_str());
    if (written != static_cast<ssize_t>(sizeof block)) {
        why = std::strerror(error);
        return false;
    }
    return true;
}
