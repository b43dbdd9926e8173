#include "tftp/TftpIncomingFile.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr size_t kHeldBytes = 16 * 1024;
}

TftpIncomingFile::TftpIncomingFile(QString target, Mode mode) : m_target(std::move(target)), m_mode(mode) {}

TftpIncomingFile::~TftpIncomingFile() { cancel(); }

bool TftpIncomingFile::open()
{
    m_held.reserve(kHeldBytes);
    const QByteArray target = QFile::encodeName(m_target);
    if (m_mode == Mode::InPlace) {
        m_fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (m_fd < 0)
            return failed("cannot create the file");
        m_temporary = m_target;  // a broken transfer removes it
        return true;
    }
    // A new file gets the usual permissions (the umask applies); a replaced one keeps its own.
    struct stat existing {};
    const bool replaces = ::stat(target.constData(), &existing) == 0;
    for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
        const QString candidate =
            m_target + "." + QString::number(QRandomGenerator::global()->generate(), 36) + ".part";
        const int fd = ::open(QFile::encodeName(candidate).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_fd = fd;
            m_temporary = candidate;
        } else if (errno != EEXIST) {
            return failed("cannot create the file");
        }
    }
    if (m_fd < 0)
        return failed("cannot create the file");
    if (replaces)
        ::fchmod(m_fd, existing.st_mode & 07777);
    return true;
}

bool TftpIncomingFile::write(const char* data, qint64 length)
{
    if (m_fd < 0)
        return false;
    m_held.insert(m_held.end(), data, data + length);
    return m_held.size() < kHeldBytes || flush();
}

bool TftpIncomingFile::flush()
{
    const char* next = m_held.data();
    size_t left = m_held.size();
    while (left > 0) {
        const ssize_t written = ::write(m_fd, next, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return failed("cannot write the file");
        if (written == 0) {
            errno = EIO;
            return failed("cannot write the file");
        }
        next += written;
        left -= static_cast<size_t>(written);
    }
    m_held.clear();
    return true;
}

bool TftpIncomingFile::commit()
{
    const bool inPlace = m_mode == Mode::InPlace;
    const bool written = m_fd >= 0 && flush() && (inPlace || ::fdatasync(m_fd) == 0 || failed("cannot write the file"));
    if (!written) {
        cancel();
        return false;
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        failed("cannot write the file");
    } else if (!inPlace && ::rename(QFile::encodeName(m_temporary).constData(),
                                    QFile::encodeName(m_target).constData()) != 0) {
        failed("cannot give the file its name");
    } else {
        m_temporary.clear();
        return true;
    }
    ::unlink(QFile::encodeName(m_temporary).constData());
    m_temporary.clear();
    return false;
}

bool TftpIncomingFile::failed(const char* what)
{
    m_errorNumber = errno;
    m_failure = QLatin1String(what) + QLatin1String(": ") + QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

void TftpIncomingFile::cancel()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.isEmpty()) {
        ::unlink(QFile::encodeName(m_temporary).constData());
        m_temporary.clear();
    }
    m_held.clear();
}
