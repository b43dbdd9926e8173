#pragma once

#include <QString>

#include <vector>

// A file a peer writes. Its bytes go to a new file beside the target, which reaches the disk
// and then takes the target's name only once complete: a broken transfer never leaves a short
// file behind, and a file it replaces stays whole until then (and keeps its permissions).
// In place, for an owner that announces names of its own and flushes and renames the files
// itself (a site tool does that away from its event loop, for a hundred files): the bytes go
// straight to the target, unflushed, and a broken transfer removes it.
class TftpIncomingFile {
public:
    enum class Mode { SafeReplace, InPlace };

    TftpIncomingFile(QString target, Mode mode);
    ~TftpIncomingFile();  // removes a file that was not committed
    TftpIncomingFile(const TftpIncomingFile&) = delete;
    TftpIncomingFile& operator=(const TftpIncomingFile&) = delete;

    bool open();
    bool write(const char* data, qint64 length);
    // Writes what is held and, replacing safely, flushes it and gives it the target's name.
    bool commit();
    void cancel();
    // Why the last open, write or commit failed, in the file system's words ("cannot write
    // the file: No space left on device"); empty while nothing failed.
    const QString& failure() const { return m_failure; }
    // The errno of that failure (ENOSPC for a full disk); 0 while nothing failed.
    int errorNumber() const { return m_errorNumber; }

private:
    bool flush();
    // Keeps what failed with errno's text for `failure` and returns false.
    bool failed(const char* what);

    QString m_target;
    QString m_temporary;
    Mode m_mode;
    int m_fd = -1;
    std::vector<char> m_held;  // written out in large pieces, not one system call per block
    QString m_failure;
    int m_errorNumber = 0;
};
