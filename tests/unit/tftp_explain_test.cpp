// A server that explains its errors (the site tool, vta-tftp-serve): what the error packets
// say, what the owner hears of a refused request, the file system's reason in the status,
// a read-only server, and stopping every transfer at once.
#include "support/TftpCoreFixture.h"

#include <csignal>
#include <sys/resource.h>

namespace {

class TftpExplained : public TftpCoreTest {
protected:
    void SetUp() override
    {
        TftpCoreTest::SetUp();
        core.explainErrors(true);
        core.setRefusalNotify([this](const TftpRefusal& refusal) { refusals.push_back(refusal); });
    }
    QByteArray packet(uint16_t code, const char* text) const { return TftpPacket::error(code, text); }

    std::vector<TftpRefusal> refusals;
};

TEST_F(TftpExplained, ErrorPacketsSayWhy)
{
    putFile("fw.tfp", "image");
    const struct {
        uint16_t opcode;
        const char* name;
        QByteArray answer;
        int status;
    } cases[] = {
        {1, "missing.tfp", packet(1, "File not found"), TftpStatus::FileNotFound},
        {1, "../outside", packet(2, "the name leads outside the served folder"), TftpStatus::AccessViolation},
        {2, "nofolder/x", packet(2, "no such folder"), TftpStatus::AccessViolation},
    };
    uint16_t port = PeerPort;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sent.clear();
        receive(request(c.opcode, c.name), ++port);
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].bytes, c.answer);
        EXPECT_EQ(reports.seen.back().code, c.status);
    }
    // A stranger on a transfer's socket is told too.
    receive(request(1, "fw.tfp"), ++port);
    sent.clear();
    deliver(TftpPacket::acknowledgement(1), port + 1);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].bytes, packet(5, "Unknown transfer ID"));
}

TEST_F(TftpExplained, ARefusedRequestIsToldWhyAndTheOwnerHearsOfIt)
{
    core.admitOnlyExpected(true);
    core.expect({Peer, "fw.tfp", 1});
    receive(request(2, "up.cfg"));
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].bytes, packet(2, "no such transfer is expected from 127.0.0.1"));
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_EQ(refusals[0].peer, Peer);
    EXPECT_EQ(refusals[0].peerPort, PeerPort);
    EXPECT_EQ(refusals[0].fileName, "up.cfg");
    EXPECT_EQ(refusals[0].direction, 2);
    EXPECT_TRUE(core.sessions().empty());
}

TEST_F(TftpExplained, AReadOnlyServerServesFilesAndRefusesEveryWrite)
{
    core.refuseWrites(true);
    putFile("fw.tfp", patterned(700));
    receive(request(2, "fw.tfp"));
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].bytes, packet(2, "this server takes no writes"));
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_EQ(fileContent(QDir(root).filePath("fw.tfp")), patterned(700));
    receive(request(1, "fw.tfp"), PeerPort + 1);
    ASSERT_EQ(core.sessions().size(), 1u);
}

// A file the disk will not take: the status and the packet carry the file system's words.
TEST_F(TftpExplained, AFileTheDiskWillNotTakeIsNamedInTheStatusAndThePacket)
{
    core.storeWrittenFiles(TftpIncomingFile::Mode::InPlace);
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = 20000;  // a file grows past it: the write fails as on a full disk
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    receive(request(2, "up.cfg"));
    const QByteArray content = patterned(40000);
    for (uint16_t block = 1; block <= 79 && core.transferring(); ++block)
        deliver(TftpPacket::data(block, content.constData() + (block - 1) * 512, 512));
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_FALSE(reports.seen.empty());
    EXPECT_EQ(reports.seen.back().code, TftpStatus::DiskFull);
    EXPECT_EQ(reports.seen.back().reason, "cannot write the file: File too large");
    EXPECT_EQ(last().bytes, packet(3, "cannot write the file: File too large"));
    EXPECT_FALSE(QFileInfo::exists(QDir(root).filePath("up.cfg")));
}

TEST_F(TftpExplained, AbortingEndsEveryTransferTellsEachPeerAndLeavesNoFile)
{
    core.storeWrittenFiles(TftpIncomingFile::Mode::InPlace);
    putFile("fw.tfp", patterned(3000));
    receive(request(1, "fw.tfp"));
    receive(request(2, "up.cfg"), PeerPort + 1);
    session().handleDatagram(TftpPacket::data(1, patterned(512).constData(), 512).constData(), 516, Peer,
                             PeerPort + 1);
    ASSERT_TRUE(QFileInfo::exists(QDir(root).filePath("up.cfg")));
    sent.clear();
    core.abortAll("vta-fleet was stopped");
    ASSERT_EQ(sent.size(), 2u);
    for (const Sent& told : sent)
        EXPECT_EQ(told.bytes, packet(0, "vta-fleet was stopped"));
    EXPECT_EQ(sent[0].port, PeerPort);
    EXPECT_EQ(sent[1].port, PeerPort + 1);
    EXPECT_EQ(reports.seen.back().code, TftpStatus::Canceled);
    EXPECT_EQ(reports.seen.back().reason, "vta-fleet was stopped");
    EXPECT_FALSE(core.transferring());
    EXPECT_FALSE(QFileInfo::exists(QDir(root).filePath("up.cfg")));
    core.abortAll("again");  // ended sessions are told nothing more
    EXPECT_EQ(sent.size(), 2u);
}

TEST_F(TftpCoreTest, WithoutExplanationsAnAbortedPeerGetsAFiveBytePacket)
{
    putFile("fw.tfp", patterned(3000));
    receive(request(1, "fw.tfp"));
    core.abortAll("stopped");
    EXPECT_EQ(last().bytes, TftpPacket::error(0));
}

}  // namespace
