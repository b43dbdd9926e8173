#include "platform/PrivateFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string reason(const std::string& what, const std::string& path, int error)
{
    return what + " " + path + ": " + std::strerror(error);
}

bool makeFolders(const std::filesystem::path& folder, std::string& error)
{
    if (folder.empty())
        return true;
    std::error_code ignored;
    if (std::filesystem::is_directory(folder, ignored))
        return true;
    if (!makeFolders(folder.parent_path(), error))
        return false;
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = reason("cannot make the folder", folder.string(), errno);
        return false;
    }
    return true;
}

bool writeAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

bool MakePrivateFolders(const std::string& folder, std::string& error) { return makeFolders(folder, error); }

bool WritePrivateFile(const std::string& path, const std::string& text, std::string& error)
{
    const std::filesystem::path target(path);
    if (!makeFolders(target.parent_path(), error))
        return false;
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());  // mode 0600
    if (fd < 0) {
        error = reason("cannot write", path, errno);
        return false;
    }
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        error = reason("cannot write", path, written ? errno : writeError);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        error = reason("cannot write", path, errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}
