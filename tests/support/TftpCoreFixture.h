#pragma once

// The TFTP protocol core without sockets, for the tests of its sessions: a recording channel,
// the status callback's log, a clock the test moves, and helpers that play the peer.
#include "tftp/TftpPacket.h"
#include "tftp/TftpServerCore.h"
#include "platform/TimeScale.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>


const QHostAddress Peer(QStringLiteral("127.0.0.1"));
constexpr uint16_t PeerPort = 40000;

struct Sent {
    QByteArray bytes;
    QHostAddress address;
    uint16_t port;
    int64_t at;
};

// Everything the status callback saw, and what the test wants it to do.
struct Reports : QObject {
    std::vector<QvTFTPMsg> seen;
    // Sets the cancel flag when this code is reported (0: never).
    int cancelOn = 0;
    // Reads this file whenever a session reports success.
    QString checkOnSuccess;
    QByteArray contentAtSuccess;

    static void record(QObject* form, const QvTFTPMsg& status, bool& cancel)
    {
        auto* self = static_cast<Reports*>(form);
        self->seen.push_back(status);
        if (self->cancelOn != 0 && status.code == self->cancelOn)
            cancel = true;
        if (status.code == TftpStatus::Success && !self->checkOnSuccess.isEmpty()) {
            QFile file(self->checkOnSuccess);
            if (file.open(QIODevice::ReadOnly))
                self->contentAtSuccess = file.readAll();
        }
    }
    std::vector<int> codes() const
    {
        std::vector<int> result;
        for (const QvTFTPMsg& status : seen)
            result.push_back(status.code);
        return result;
    }
};

class RecordingChannel : public TftpChannel {
public:
    RecordingChannel(std::vector<Sent>& log, const int64_t& now, bool& failing)
        : m_log(log), m_now(now), m_failing(failing) {}
    bool send(const QByteArray& datagram, const QHostAddress& address, uint16_t port) override
    {
        if (m_failing)
            return false;
        m_log.push_back({datagram, address, port, m_now});
        return true;
    }

private:
    std::vector<Sent>& m_log;
    const int64_t& m_now;
    bool& m_failing;
};

inline QByteArray request(uint16_t opcode, const QByteArray& name, const QByteArray& mode = "octet")
{
    QByteArray datagram;
    datagram.append(char(0)).append(char(opcode)).append(name).append('\0').append(mode).append('\0');
    return datagram;
}

inline QByteArray patterned(qsizetype size, int seed = 1)
{
    QByteArray content(size, Qt::Uninitialized);
    uint32_t state = 2166136261u ^ seed;
    for (qsizetype i = 0; i < size; ++i) {
        state = state * 16777619u + 12345u;
        content[i] = static_cast<char>(state >> 24);
    }
    return content;
}

class TftpCoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        root = dir.filePath("served");
        ASSERT_TRUE(QDir().mkpath(root));
        core.setNotify(&Reports::record, &reports);
        core.setRoot(root);
        core.setRetransmission(300, 3);
    }
    void TearDown() override { TimeScale::setFactor(1.0); }

    void putFile(const QString& name, const QByteArray& content)
    {
        QFile file(QDir(root).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray fileContent(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    void receive(const QByteArray& datagram, uint16_t port = PeerPort)
    {
        core.handleRequest(datagram.constData(), datagram.size(), Peer, port);
    }
    TFTPSession& session() { return *core.sessions().back(); }
    void deliver(const QByteArray& datagram, uint16_t port = PeerPort)
    {
        session().handleDatagram(datagram.constData(), datagram.size(), Peer, port);
    }
    // Moves the clock in steps of the server's 20 ms timer (scaled as the server's own
    // timer is), ticking at each step.
    void advance(int64_t milliseconds)
    {
        const int64_t end = now + milliseconds;
        while (now < end) {
            now += TimeScale::scaled(20);
            core.tick();
        }
    }
    const Sent& last() const { return sent.back(); }

    // Acknowledges every data block until the session stops sending; returns the bytes
    // received and checks each block's number (16-bit, rolling over).
    QByteArray fetchAll()
    {
        QByteArray received;
        uint32_t expected = 1;
        for (;;) {
            const QByteArray& datagram = last().bytes;
            EXPECT_EQ(TftpPacket::opcodeOf(datagram.constData(), datagram.size()), TftpPacket::Data);
            EXPECT_EQ(TftpPacket::numberOf(datagram.constData()), uint16_t(expected));
            received.append(datagram.mid(4));
            const bool lastBlock = datagram.size() - 4 < 512;
            const std::size_t before = sent.size();
            deliver(TftpPacket::acknowledgement(uint16_t(expected)));
            ++expected;
            if (lastBlock) {
                EXPECT_EQ(sent.size(), before) << "nothing follows the last block";
                return received;
            }
            if (sent.size() != before + 1) {
                ADD_FAILURE() << "no block after acknowledgement " << expected - 1;
                return received;
            }
            if (sent.size() > 1000)
                sent.erase(sent.begin(), sent.end() - 1);
        }
    }
    // Sends the content as data blocks, checking each acknowledgement.
    void storeAll(const QByteArray& content, qsizetype stopBefore = -1)
    {
        qsizetype offset = 0;
        uint32_t block = 1;
        for (;;) {
            if (offset == stopBefore)
                return;
            const QByteArray chunk = content.mid(offset, 512);
            deliver(TftpPacket::data(uint16_t(block), chunk.constData(), chunk.size()));
            ASSERT_EQ(last().bytes, TftpPacket::acknowledgement(uint16_t(block)));
            offset += chunk.size();
            ++block;
            if (chunk.size() < 512)
                return;
            if (sent.size() > 1000)
                sent.erase(sent.begin(), sent.end() - 1);
        }
    }

    QTemporaryDir dir;
    QString root;
    int64_t now = 100000;
    bool failing = false;
    std::vector<Sent> sent;
    Reports reports;
    bool channelFails = false;
    // What the server answered from its listening port.
    std::vector<Sent> answered;
    TftpServerCore core{[this]() -> std::unique_ptr<TftpChannel> {
                            if (channelFails)
                                return nullptr;
                            return std::make_unique<RecordingChannel>(sent, now, failing);
                        },
                        [this] { return now; },
                        [this](const QByteArray& datagram, const QHostAddress& to, uint16_t port) {
                            answered.push_back({datagram, to, port, now});
                        }};
};
