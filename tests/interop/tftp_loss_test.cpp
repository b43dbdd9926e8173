// Transfers through a relay that loses and repeats a share of the datagrams (seeded, so
// a failure can be replayed): each one ends byte-identical, or ends with -1113 once the
// resends are used up, and never leaves a short file reported as success.
#include "tftp/QvTFTPMsg.h"
#include "interop/TftpInterop.h"

#include <atomic>
#include <poll.h>
#include <thread>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace tftp_interop;

namespace {

// Sits between one client and the server. The client talks to the relay's front port;
// the relay talks to the server from its back socket, first to the listening port and
// then to whichever port the server answers from (the session's own).
class LossyRelay {
public:
    // After `alive` datagrams the relay goes dead and drops everything (-1: never).
    LossyRelay(uint16_t serverPort, double dropShare, double repeatShare, uint32_t seed, int alive = -1)
        : m_serverPort(serverPort), m_dropShare(dropShare), m_repeatShare(repeatShare), m_random(seed),
          m_alive(alive)
    {
        m_front = openSocket();
        m_back = openSocket();
        sockaddr_in address{};
        socklen_t length = sizeof address;
        ::getsockname(m_front, reinterpret_cast<sockaddr*>(&address), &length);
        m_frontPort = ntohs(address.sin_port);
        m_thread = std::thread([this] { run(); });
    }
    ~LossyRelay()
    {
        stop();
        ::close(m_front);
        ::close(m_back);
    }
    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    uint16_t port() const { return m_frontPort; }
    // What the server sent after the relay went dead (read after stop()).
    const std::vector<QByteArray>& lostFromServer() const { return m_lostFromServer; }
    int dropped() const { return m_dropped; }
    int repeated() const { return m_repeated; }

private:
    static int openSocket()
    {
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        return fd;
    }
    static sockaddr_in loopback(uint16_t port)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        return address;
    }
    void forward(int fd, const char* data, ssize_t size, const sockaddr_in& to)
    {
        if (m_alive >= 0 && m_forwarded >= m_alive) {
            if (fd == m_front)
                m_lostFromServer.emplace_back(data, size);
            return;
        }
        ++m_forwarded;
        const double roll = std::uniform_real_distribution<double>(0, 1)(m_random);
        if (roll < m_dropShare) {
            ++m_dropped;
            return;
        }
        ::sendto(fd, data, size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
        if (roll > 1.0 - m_repeatShare) {
            ++m_repeated;
            ::sendto(fd, data, size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
        }
    }
    void run()
    {
        sockaddr_in client{};
        bool knowClient = false;
        sockaddr_in server = loopback(m_serverPort);
        char buffer[4096];
        pollfd fds[2] = {{m_front, POLLIN, 0}, {m_back, POLLIN, 0}};
        while (!m_stop) {
            if (::poll(fds, 2, 20) <= 0)
                continue;
            if (fds[0].revents & POLLIN) {
                socklen_t length = sizeof client;
                const ssize_t size = ::recvfrom(m_front, buffer, sizeof buffer, 0,
                                                reinterpret_cast<sockaddr*>(&client), &length);
                knowClient = size >= 0;
                if (size >= 0)
                    forward(m_back, buffer, size, server);
            }
            if (fds[1].revents & POLLIN) {
                sockaddr_in from{};
                socklen_t length = sizeof from;
                const ssize_t size = ::recvfrom(m_back, buffer, sizeof buffer, 0,
                                                reinterpret_cast<sockaddr*>(&from), &length);
                if (size >= 0) {
                    server = from;
                    if (knowClient)
                        forward(m_front, buffer, size, client);
                }
            }
        }
    }

    uint16_t m_serverPort;
    double m_dropShare;
    double m_repeatShare;
    std::mt19937 m_random;
    int m_alive;
    int m_forwarded = 0;
    std::vector<QByteArray> m_lostFromServer;
    int m_front = -1;
    int m_back = -1;
    uint16_t m_frontPort = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_dropped{0};
    std::atomic<int> m_repeated{0};
    std::thread m_thread;
};

struct LossCase {
    bool store;
    uint32_t seed;
    bool onePort = false;  // the server carries all transfers on one socket
};

class TftpThroughLossyRelay : public ::testing::TestWithParam<LossCase> {};

TEST_P(TftpThroughLossyRelay, EndsWholeOrWithTimeoutNeverShort)
{
    const LossCase& c = GetParam();
    Folders folders;
    ServeProgram server;
    // A fetch recovers through the server's resends (every 200 ms here); a store through
    // the client's (every second), so the server waits 3 s for each block there.
    QStringList options = c.store ? QStringList{"--timeout", "300", "--sends", "3"}
                                  : QStringList{"--timeout", "20", "--sends", "3"};
    if (c.onePort)
        options << "--one-port";
    ASSERT_TRUE(server.start(folders.served, folders.base.filePath("serve.log"), options));
    const qint64 size = c.store ? 16 * 1024 + 100 : 64 * 1024 + 100;
    const QString source = c.store ? QDir(folders.client).filePath("upload.bin")
                                   : QDir(folders.served).filePath("image.tfp");
    const QString destination = c.store ? QDir(folders.served).filePath("image.tfp")
                                        : QDir(folders.client).filePath("download.bin");
    writePatterned(source, size, c.seed);

    LossyRelay relay(server.port(), 0.06, 0.06, c.seed);
    const QByteArray script = QByteArray("binary\nrexmt 1\ntimeout 8\n")
        + (c.store ? "put upload.bin image.tfp\n" : "get image.tfp download.bin\n") + "quit\n";
    const ClientRun run = runClient("tftp", {"127.0.0.1", QString::number(relay.port())}, folders.client,
                                    script, 90000);
    ASSERT_NE(run.exitCode, -1) << "the client hung: " << run.output.toStdString();

    // The server ends every session itself: whole, or by time-out after its resends.
    const std::optional<int> end = server.sessionEnd("image.tfp", 15000);
    ASSERT_TRUE(end.has_value()) << server.log().toStdString();
    ASSERT_TRUE(*end == TftpStatus::Success || *end == TftpStatus::Timeout) << *end;
    if (*end == TftpStatus::Success) {
        EXPECT_EQ(checksum(destination), checksum(source)) << "reported success, file differs";
    } else if (c.store) {
        // A store that timed out leaves no file at all, not even a temporary one.
        EXPECT_TRUE(filesBelow(folders.served).isEmpty()) << filesBelow(folders.served).join(' ').toStdString();
    }
    std::printf("seed %u %s: dropped %d, repeated %d, server ended with %d\n", c.seed,
                c.store ? "store" : "fetch", relay.dropped(), relay.repeated(), *end);
    EXPECT_GT(relay.dropped() + relay.repeated(), 0) << "the relay disturbed nothing";
}

INSTANTIATE_TEST_SUITE_P(Seeds, TftpThroughLossyRelay,
                         ::testing::Values(LossCase{false, 11}, LossCase{false, 12}, LossCase{false, 13},
                                           LossCase{true, 21}, LossCase{true, 22}, LossCase{true, 23},
                                           LossCase{false, 14, true}, LossCase{true, 24, true}),
                         [](const auto& info) {
                             return std::string(info.param.store ? "store_seed_" : "fetch_seed_")
                                 + std::to_string(info.param.seed) + (info.param.onePort ? "_on_one_port" : "");
                         });

// When the client falls silent in the middle, the server sends its block the configured
// number of times and ends with -1113; a store broken off that way leaves no file.
class TftpThroughDeadRelay : public ::testing::TestWithParam<bool> {};

TEST_P(TftpThroughDeadRelay, SilentClientEndsTheSessionWithTimeout)
{
    const bool store = GetParam();
    Folders folders;
    ServeProgram server;
    ASSERT_TRUE(server.start(folders.served, folders.base.filePath("serve.log"),
                             {"--timeout", "20", "--sends", "3"}));
    writePatterned(QDir(folders.served).filePath("image.tfp"), 64 * 1024, 5);
    writePatterned(QDir(folders.client).filePath("upload.bin"), 64 * 1024, 6);
    LossyRelay relay(server.port(), 0.0, 0.0, 1, 40);
    const QByteArray script = QByteArray("binary\nrexmt 1\ntimeout 3\n")
        + (store ? "put upload.bin image-copy.tfp\n" : "get image.tfp download.bin\n") + "quit\n";
    runClient("tftp", {"127.0.0.1", QString::number(relay.port())}, folders.client, script, 30000);
    const QString name = store ? "image-copy.tfp" : "image.tfp";
    EXPECT_EQ(server.sessionEnd(name, 5000), TftpStatus::Timeout) << server.log().toStdString();
    relay.stop();
    if (store) {
        EXPECT_EQ(filesBelow(folders.served), QStringList{"image.tfp"});
    } else {
        // The block in flight went out at most three times, and nothing after it.
        const std::vector<QByteArray>& lost = relay.lostFromServer();
        ASSERT_FALSE(lost.empty());
        EXPECT_LE(lost.size(), 3u);
        for (const QByteArray& datagram : lost)
            EXPECT_EQ(datagram, lost.front());
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, TftpThroughDeadRelay, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "store" : "fetch"); });

} // namespace
