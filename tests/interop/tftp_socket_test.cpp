// The server over real loopback sockets, driven by this test's event loop, with a peer
// the test plays itself: resend timing under a shrunk time scale, strangers on the
// session's port, transfers at once, Listen and Stop. Every case runs with a socket per
// transfer and with all transfers on one socket.
#include "support/FreePort.h"
#include "snmp/QvException.h"
#include "tftp/QvTFTPServer.h"
#include "tftp/TftpPacket.h"
#include "platform/TimeScale.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>
#include <arpa/inet.h>
#include <algorithm>
#include <functional>
#include <set>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct Heard : QObject {
    std::vector<QvTFTPMsg> seen;
    static void record(QObject* form, const QvTFTPMsg& status, bool&)
    {
        static_cast<Heard*>(form)->seen.push_back(status);
    }
    bool ended() const
    {
        return !seen.empty() && (seen.back().code == TftpStatus::Success || seen.back().code < 0);
    }
};

bool pumpUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// A TFTP peer on 127.0.0.1 that keeps every datagram it gets with its arrival time.
struct Peer {
    struct Datagram {
        QByteArray bytes;
        uint16_t fromPort;
        qint64 at;
    };
    Peer()
    {
        socket.bind(QHostAddress::LocalHost, 0);
        clock.start();
        QObject::connect(&socket, &QUdpSocket::readyRead, &socket, [this] {
            while (socket.hasPendingDatagrams()) {
                QByteArray bytes(TftpPacket::BufferSize, Qt::Uninitialized);
                quint16 port = 0;
                const qint64 size = socket.readDatagram(bytes.data(), bytes.size(), nullptr, &port);
                if (size < 0)
                    break;
                bytes.resize(size);
                received.push_back({bytes, port, clock.elapsed()});
                const uint16_t opcode = TftpPacket::opcodeOf(bytes.constData(), size);
                const uint16_t number = TftpPacket::numberOf(bytes.constData());
                if (autoAcknowledge && opcode == TftpPacket::Data) {
                    send(TftpPacket::acknowledgement(number), port);
                    if (number == fetched.size() / TftpPacket::BlockSize + 1)
                        fetched += bytes.mid(4);
                }
                // A store: the acknowledgement of block n asks for block n + 1.
                const qsizetype offset = qsizetype(number) * TftpPacket::BlockSize;
                if (opcode == TftpPacket::Acknowledgement && !upload.isNull() && offset <= upload.size())
                    send(TftpPacket::data(number + 1, upload.constData() + offset,
                                          std::min<qsizetype>(TftpPacket::BlockSize, upload.size() - offset)),
                         port);
            }
        });
    }
    void send(const QByteArray& datagram, uint16_t port)
    {
        socket.writeDatagram(datagram, QHostAddress::LocalHost, port);
    }
    void request(uint16_t opcode, const QByteArray& name, uint16_t port)
    {
        QByteArray datagram;
        datagram.append(char(0)).append(char(opcode)).append(name).append('\0').append("octet").append('\0');
        send(datagram, port);
    }

    QUdpSocket socket;
    QElapsedTimer clock;
    std::vector<Datagram> received;
    bool autoAcknowledge = false;
    QByteArray fetched;  // the data blocks acknowledged, in order
    QByteArray upload;   // what a store sends, when set
};

// The parameter: whether all transfers share one socket.
class TftpSocketTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.filePath("served");
        QDir().mkpath(folder);
        server.SetNotify(&Heard::record, &heard);
        if (GetParam())
            server.ShareOneTransferPort();
    }
    void TearDown() override { TimeScale::setFactor(1.0); }
    void putFile(const QString& name, qsizetype size)
    {
        QFile file(QDir(folder).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(size, 'v'));
    }

    QTemporaryDir dir;
    QString folder;
    Heard heard;
    QvTFTPServer server;
};

TEST_P(TftpSocketTest, UnacknowledgedBlockIsResentAtOneAndTwoTimeoutsAndEndsAtThree)
{
    // Timeout 300 (3 s) with 3 sends, on a time scale of 0.1: 300, 600 and 900 ms.
    TimeScale::setFactor(0.1);
    server.SetRetransmission(300, 3);
    server.Listen(folder, FreeUdpPort());
    putFile("fw.tfp", 100);
    Peer peer;
    const qint64 start = peer.clock.elapsed();
    peer.request(1, "fw.tfp", server.boundPort());
    ASSERT_TRUE(pumpUntil([&] { return heard.ended(); }, 5000));
    const qint64 endedAt = peer.clock.elapsed() - start;
    pumpUntil([] { return false; }, 200);  // nothing more may come

    ASSERT_EQ(peer.received.size(), 3u);
    EXPECT_EQ(heard.seen.back().code, TftpStatus::Timeout);
    EXPECT_LT(peer.received[0].at - start, 100);
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(peer.received[i].bytes, peer.received[0].bytes);
        EXPECT_GE(peer.received[i].at - start, 300 * i - 5) << "send " << i + 1;
        EXPECT_LE(peer.received[i].at - start, 300 * i + 150) << "send " << i + 1;
    }
    EXPECT_GE(endedAt, 900 - 5);
    EXPECT_LE(endedAt, 900 + 200);
}

TEST_P(TftpSocketTest, AStrangerOnTheSessionPortGetsErrorFiveAndTheTransferGoesOn)
{
    server.Listen(folder, FreeUdpPort());
    putFile("fw.tfp", 1500);
    Peer peer;
    peer.request(1, "fw.tfp", server.boundPort());
    ASSERT_TRUE(pumpUntil([&] { return peer.received.size() == 1; }, 3000));
    const uint16_t sessionPort = peer.received[0].fromPort;

    Peer stranger;
    stranger.send(TftpPacket::acknowledgement(1), sessionPort);
    ASSERT_TRUE(pumpUntil([&] { return stranger.received.size() == 1; }, 3000));
    EXPECT_EQ(stranger.received[0].bytes, TftpPacket::error(5));
    pumpUntil([] { return false; }, 100);
    EXPECT_EQ(peer.received.size(), 1u) << "the stranger's acknowledgement moved the transfer";

    peer.autoAcknowledge = true;
    peer.send(TftpPacket::acknowledgement(1), sessionPort);
    ASSERT_TRUE(pumpUntil([&] { return heard.ended(); }, 3000));
    EXPECT_EQ(heard.seen.back().code, TftpStatus::Success);
    EXPECT_EQ(heard.seen.back().totalBytes, 1500);
    EXPECT_EQ(stranger.received.size(), 1u);
}

TEST_P(TftpSocketTest, ListeningAgainOnlyChangesFolderAndPortField)
{
    const uint16_t first = FreeUdpPort();
    server.Listen(dir.filePath("elsewhere"), first);
    server.Listen(folder, first + 1);
    EXPECT_EQ(server.boundPort(), first);
    EXPECT_EQ(server.status().serverPort, first + 1);
    EXPECT_EQ(server.root(), folder + "/");
    // Requests still arrive on the first port and are served from the new folder.
    putFile("cfg.bin", 10);
    Peer peer;
    peer.autoAcknowledge = true;
    peer.request(1, "cfg.bin", first);
    ASSERT_TRUE(pumpUntil([&] { return heard.ended(); }, 3000));
    EXPECT_EQ(heard.seen.back().code, TftpStatus::Success);
}

TEST_P(TftpSocketTest, APortTakenByAnotherProgramRaisesTheSocketError)
{
    const int blocker = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = 0;
    ASSERT_EQ(::bind(blocker, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    ::getsockname(blocker, reinterpret_cast<sockaddr*>(&address), &length);
    try {
        server.Listen(folder, ntohs(address.sin_port));
        ADD_FAILURE() << "Listen succeeded on a taken port";
    } catch (const QvException& error) {
        EXPECT_EQ(error.code(), -1109);
        EXPECT_STREQ(error.what(), "(QvTFTP) Fail to open socket!Please check if the network is ready.");
    }
    ::close(blocker);
    EXPECT_FALSE(server.isListening());
}

// A second module on the same host must not share the port: it would receive the first
// module's requests.
TEST_P(TftpSocketTest, ASecondServerOnTheSamePortRaisesTheSocketError)
{
    server.Listen(folder, FreeUdpPort());
    QvTFTPServer second;
    try {
        second.Listen(folder, server.boundPort());
        ADD_FAILURE() << "a second server bound the port too";
    } catch (const QvException& error) {
        EXPECT_EQ(error.code(), -1109);
    }
    EXPECT_FALSE(second.isListening());
}

// The refusal of a request nobody announced comes from the listening port.
TEST_P(TftpSocketTest, AnUnannouncedRequestIsRefusedFromTheListeningPort)
{
    server.Listen(folder, FreeUdpPort());
    server.AdmitOnlyExpected(true);
    server.Expect({QHostAddress(QStringLiteral("127.0.0.9")), "fw.tfp", 1});
    putFile("fw.tfp", 100);
    Peer peer;
    peer.request(1, "fw.tfp", server.boundPort());
    ASSERT_TRUE(pumpUntil([&] { return !peer.received.empty(); }, 3000));
    EXPECT_EQ(peer.received[0].bytes, TftpPacket::error(2));
    EXPECT_EQ(peer.received[0].fromPort, server.boundPort());
    EXPECT_EQ(server.sessionCount(), 0u);
    EXPECT_TRUE(heard.seen.empty());
}

// Stop waits in an event loop; whatever runs there and stops the server again (a second
// signal, a page closing) returns at once instead of nesting another wait.
TEST_P(TftpSocketTest, StopCalledAgainWhileItWaitsReturnsAtOnce)
{
    TimeScale::setFactor(0.1);
    server.SetRetransmission(100, 1);  // the silent peer's session ends after 100 ms
    server.Listen(folder, FreeUdpPort());
    putFile("fw.tfp", 2000);
    Peer peer;
    peer.request(1, "fw.tfp", server.boundPort());
    ASSERT_TRUE(pumpUntil([&] { return server.sessionCount() == 1; }, 3000));

    // Each call asks for another one first, as an undrained signal pipe keeps asking.
    QObject context;  // cancels what is still pending when the test ends
    int depth = 0;
    int deepest = 0;
    std::function<void()> stopAgain = [&] {
        if (depth >= 20)
            return;  // the fault: each call nests a wait of its own
        QTimer::singleShot(0, &context, stopAgain);
        ++depth;
        deepest = std::max(deepest, depth);
        server.Stop();
        --depth;
    };
    stopAgain();
    EXPECT_LE(deepest, 2) << "the outer call and one that returned at once";
    EXPECT_FALSE(server.isListening());
    EXPECT_EQ(server.sessionCount(), 0u);
}

// A transfer that has ended needs no wait: Stop returns before the periodic step that would
// otherwise clear the finished session (a second away here).
TEST_P(TftpSocketTest, StopAfterTheLastTransferEndedReturnsAtOnce)
{
    TimeScale::setFactor(50);
    server.Listen(folder, FreeUdpPort());
    putFile("fw.tfp", 100);
    Peer peer;
    peer.request(1, "fw.tfp", server.boundPort());
    ASSERT_TRUE(pumpUntil([&] { return peer.received.size() == 1; }, 3000));
    peer.send(TftpPacket::acknowledgement(1), peer.received[0].fromPort);
    ASSERT_TRUE(pumpUntil([&] { return heard.ended(); }, 3000));
    ASSERT_EQ(heard.seen.back().code, TftpStatus::Success);

    QElapsedTimer stopping;
    stopping.start();
    server.Stop();
    EXPECT_LT(stopping.elapsed(), 500);
    EXPECT_EQ(server.sessionCount(), 0u);
}

TEST_P(TftpSocketTest, StopClosesThePortAndLetsARunningTransferFinish)
{
    server.Listen(folder, FreeUdpPort());
    const uint16_t port = server.boundPort();
    putFile("fw.tfp", 200 * 512 + 3);
    Peer peer;
    peer.request(1, "fw.tfp", port);
    ASSERT_TRUE(pumpUntil([&] { return peer.received.size() == 1; }, 3000));
    peer.autoAcknowledge = true;
    peer.send(TftpPacket::acknowledgement(1), peer.received[0].fromPort);
    server.Stop();
    EXPECT_FALSE(server.isListening());
    EXPECT_EQ(server.sessionCount(), 0u);
    ASSERT_FALSE(heard.seen.empty());
    EXPECT_EQ(heard.seen.back().code, TftpStatus::Success);
    // The port is free again: another program may take it.
    QUdpSocket next;
    EXPECT_TRUE(next.bind(QHostAddress::AnyIPv4, port));
}

// Peers that fetch and store at the same moment each get their own file whole, and a
// stranger on the transfer port disturbs none of them.
TEST_P(TftpSocketTest, TransfersAtOnceEachCarryTheirOwnFile)
{
    server.Listen(folder, FreeUdpPort());
    auto patterned = [](qsizetype size, int step) {
        QByteArray bytes(size, Qt::Uninitialized);
        for (qsizetype i = 0; i < size; ++i)
            bytes[i] = char(i * step + 1);
        return bytes;
    };
    const QByteArray first = patterned(3 * 512 + 17, 7), second = patterned(40 * 512, 13);
    for (const auto& [name, bytes] : {std::pair{"first.bin", first}, std::pair{"second.bin", second}}) {
        QFile file(QDir(folder).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    Peer readsFirst, readsSecond, stores, stranger;
    readsFirst.autoAcknowledge = readsSecond.autoAcknowledge = true;
    readsFirst.request(1, "first.bin", server.boundPort());
    readsSecond.request(1, "second.bin", server.boundPort());
    stores.request(2, "stored.bin", server.boundPort());
    // The store waits after the acknowledgement of block 0 until the stranger has had its
    // answer, so its transfer is surely still under way.
    ASSERT_TRUE(pumpUntil([&] { return !stores.received.empty(); }, 3000));
    const uint16_t storePort = stores.received[0].fromPort;
    stranger.send(TftpPacket::acknowledgement(1), storePort);
    ASSERT_TRUE(pumpUntil([&] { return !stranger.received.empty(); }, 3000));
    stores.upload = second + first;
    stores.send(TftpPacket::data(1, stores.upload.constData(), TftpPacket::BlockSize), storePort);

    auto successes = [&] {
        return std::count_if(heard.seen.begin(), heard.seen.end(),
                             [](const QvTFTPMsg& status) { return status.code == TftpStatus::Success; });
    };
    ASSERT_TRUE(pumpUntil([&] { return successes() == 3; }, 5000));
    EXPECT_EQ(readsFirst.fetched, first);
    EXPECT_EQ(readsSecond.fetched, second);
    QFile stored(QDir(folder).filePath("stored.bin"));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(stored.readAll(), second + first);
    EXPECT_EQ(stranger.received[0].bytes, TftpPacket::error(5));

    // Each transfer answers from the port it began on; with one socket, that is one port
    // for all of them, and never the listening one.
    std::set<uint16_t> ports;
    for (const Peer* peer : {&readsFirst, &readsSecond, &stores})
        for (const Peer::Datagram& datagram : peer->received)
            ports.insert(datagram.fromPort);
    EXPECT_EQ(ports.size(), GetParam() ? 1u : 3u);
    EXPECT_EQ(ports.count(server.boundPort()), 0u);
}

INSTANTIATE_TEST_SUITE_P(Sockets, TftpSocketTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "OnePort" : "SocketPerTransfer"; });

} // namespace
