// Transfers through a relay that loses and repeats a share of the datagrams (seeded, so
// a failure can be replayed): each one ends byte-identical, or ends with -1113 once the
// resends are used up, and never leaves a short file reported as success.
#include "support/LossyRelay.h"
#include "tftp/QvTFTPMsg.h"
#include "interop/TftpInterop.h"

using namespace tftp_interop;

namespace {

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
