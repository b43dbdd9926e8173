#pragma once

// What the TFTP interop tests share: a served folder beside an "outside" folder that
// stands for the rest of the PC, the server program running over it, files of a given
// size, and the three clients nobody here wrote, each as a child process.
#include "support/ChildProcess.h"
#include "support/FileContents.h"
#include "support/FreePort.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <optional>
#include <random>

namespace tftp_interop {

inline QString serverProgram() { return QStringLiteral(VTA_BIN_DIR "/vta-tftp-serve"); }

// Deterministic content of any size (fast enough for 40 MiB).
inline void writePatterned(const QString& path, qint64 size, uint32_t seed)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    std::mt19937_64 random(seed);
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (qint64 left = size; left > 0;) {
        const qint64 now = std::min<qint64>(left, chunk.size());
        auto* words = reinterpret_cast<uint64_t*>(chunk.data());
        for (qint64 i = 0; i < (now + 7) / 8; ++i)
            words[i] = random();
        ASSERT_EQ(file.write(chunk.constData(), now), now);
        left -= now;
    }
}

inline QByteArray checksum(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

// Every file below the folder, as paths relative to it.
inline QStringList filesBelow(const QString& folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        names << QDir(folder).relativeFilePath(it.next());
    names.sort();
    return names;
}

// base/served is served, base/outside is the rest of the PC, base/client is where the
// clients keep their files.
class Folders {
public:
    Folders()
    {
        served = base.filePath("served");
        outside = base.filePath("outside");
        client = base.filePath("client");
        QDir().mkpath(served);
        QDir().mkpath(outside);
        QDir().mkpath(client);
    }
    QTemporaryDir base;
    QString served;
    QString outside;
    QString client;
};

// build/bin/vta-tftp-serve over one folder on a free loopback port; its log tells how
// each session ended.
class ServeProgram {
public:
    bool start(const QString& folder, const QString& logPath, const QStringList& options = {})
    {
        m_log = logPath;
        m_port = FreeUdpPort();
        m_process.process().setStandardOutputFile(logPath);
        if (!m_process.start(serverProgram(), QStringList{folder, QString::number(m_port)} + options))
            return false;
        return m_process.waitForFileText(logPath, QStringLiteral("serving "), 10000);
    }
    uint16_t port() const { return m_port; }
    QString log() const { return QString::fromUtf8(FileContents(m_log)); }

    // The status code the server logged for the session of this file name, waiting for
    // it up to the time given; nothing while the session has not ended.
    std::optional<int> sessionEnd(const QString& fileName, int timeoutMs) const
    {
        const QRegularExpression line(QStringLiteral("\"%1\" \\d+ bytes: (-?\\d+) ")
                                          .arg(QRegularExpression::escape(fileName)));
        for (int waited = 0;; waited += 20) {
            const QRegularExpressionMatch match = line.match(log());
            if (match.hasMatch())
                return match.captured(1).toInt();
            if (waited >= timeoutMs)
                return std::nullopt;
            QThread::msleep(20);
        }
    }
    // How often the text appears in the log once it appears there that often, or when
    // the time is up; the program logs a session just after its last packet went out.
    qsizetype waitForCount(const QString& text, qsizetype count, int timeoutMs) const
    {
        for (int waited = 0;; waited += 20) {
            const qsizetype seen = log().count(text);
            if (seen >= count || waited >= timeoutMs)
                return seen;
            QThread::msleep(20);
        }
    }
    // Asks the program to stop as a user would, and returns its exit code.
    int interrupt()
    {
        m_process.process().terminate();
        return m_process.waitForExit(15000);
    }

private:
    ChildProcess m_process;
    QString m_log;
    uint16_t m_port = 0;
};

struct ClientRun {
    int exitCode = -1;
    QString output;
};

inline ClientRun runClient(const QString& program, const QStringList& arguments,
                           const QString& workingFolder, const QByteArray& input = {},
                           int timeoutMs = 120000)
{
    ChildProcess client;
    client.process().setWorkingDirectory(workingFolder);
    ClientRun run;
    if (!client.start(program, arguments)) {
        run.output = QStringLiteral("could not start ") + program;
        return run;
    }
    if (!input.isEmpty()) {
        client.process().write(input);
        client.process().waitForBytesWritten(5000);
    }
    client.process().closeWriteChannel();
    run.exitCode = client.waitForExit(timeoutMs);
    run.output = QString::fromUtf8(client.output());
    return run;
}

enum class Client { TftpHpa, Atftp, Curl };

inline const char* clientName(Client client)
{
    switch (client) {
    case Client::TftpHpa: return "tftp_hpa";
    case Client::Atftp: return "atftp";
    case Client::Curl: return "curl";
    }
    return "?";
}

// Fetches the remote file into local (fetch) or stores local as the remote file.
inline ClientRun transfer(Client client, bool store, uint16_t port, const QString& remote,
                          const QString& local, const QString& workingFolder)
{
    const QString host = QStringLiteral("127.0.0.1");
    const QString portText = QString::number(port);
    switch (client) {
    case Client::TftpHpa:
        return runClient("tftp", {"-m", "binary", host, portText, "-c", store ? "put" : "get",
                                  store ? local : remote, store ? remote : local},
                         workingFolder);
    case Client::Atftp:
        return store ? runClient("atftp", {"--put", "-l", local, "-r", remote, host, portText}, workingFolder)
                     : runClient("atftp", {"--get", "-r", remote, "-l", local, host, portText}, workingFolder);
    case Client::Curl: {
        const QString url = QStringLiteral("tftp://%1:%2/%3").arg(host, portText, remote);
        return store ? runClient("curl", {"-sS", "-T", local, url}, workingFolder)
                     : runClient("curl", {"-sS", "-o", local, url}, workingFolder);
    }
    }
    return {};
}

} // namespace tftp_interop
