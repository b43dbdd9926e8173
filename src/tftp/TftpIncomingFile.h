#pragma once

#include <QString>

#include <vector>

// A file a peer writes. Its bytes go to a new file beside the target, which takes the
// target's name only once complete: a broken transfer never leaves a short file behind, and
// a file it replaces stays whole until then (and keeps its permissions). With `sync` the
// bytes reach the disk before the name changes; without, the owner of the server makes the
// file durable itself (a site tool does it away from its event loop, for a hundred files).
class TftpIncomingFile {
public:
    TftpIncomingFile(QString target, bool sync);
    ~TftpIncomingFile();  // removes a file that was not committed
    TftpIncomingFile(const TftpIncomingFile&) = delete;
    TftpIncomingFile& operator=(const TftpIncomingFile&) = delete;

    bool open();
    bool write(const char* data, qint64 length);
    // Writes what is held, syncs when asked to, and gives the file the target's name.
    bool commit();
    void cancel();

private:
    bool flush();

    QString m_target;
    QString m_temporary;
    bool m_sync;
    int m_fd = -1;
    std::vector<char> m_held;  // written out in large pieces, not one system call per block
};
