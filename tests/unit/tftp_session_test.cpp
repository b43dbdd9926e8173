// The protocol core without sockets: requests, transfers in both directions, resends and
// time-outs on a clock the test moves, and what the status callback sees.
#include "support/TftpCoreFixture.h"

#include <sys/stat.h>

namespace {

class TftpReadSizes : public TftpCoreTest, public ::testing::WithParamInterface<int> {};

TEST_P(TftpReadSizes, PeerReadsTheFileBlockByBlockAndAnEmptyBlockEndsAFullOne)
{
    const QByteArray content = patterned(GetParam());
    putFile("fw.tfp", content);
    receive(request(1, "fw.tfp"));
    ASSERT_EQ(core.sessions().size(), 1u);
    EXPECT_EQ(last().address, Peer);
    EXPECT_EQ(last().port, PeerPort);
    EXPECT_EQ(fetchAll(), content);
    // Blocks: one per started 512 bytes, plus an empty one when the size is a multiple of 512.
    EXPECT_EQ(reports.seen.back().code, TftpStatus::Success);
    EXPECT_EQ(reports.seen.back().totalBytes, content.size());
    EXPECT_EQ(reports.seen.back().text, "(QvTFTP) Success to transfer file.");
    EXPECT_EQ(session().state(), TFTPSession::Finished);
    core.tick();
    EXPECT_TRUE(core.sessions().empty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, TftpReadSizes, ::testing::Values(0, 1, 511, 512, 1024, 1025, 5000));

TEST_F(TftpCoreTest, A1024ByteFileTakesTwoFullBlocksAndAnEmptyThird)
{
    putFile("fw.tfp", patterned(1024));
    receive(request(1, "fw.tfp"));
    deliver(TftpPacket::acknowledgement(1));
    deliver(TftpPacket::acknowledgement(2));
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].bytes.size(), 516);
    EXPECT_EQ(sent[1].bytes.size(), 516);
    EXPECT_EQ(sent[2].bytes, TftpPacket::data(3, nullptr, 0));
    EXPECT_EQ(reports.seen.back().code, TftpStatus::Transferring);
    deliver(TftpPacket::acknowledgement(3));
    EXPECT_EQ(reports.seen.back().code, TftpStatus::Success);
}

class TftpWriteSizes : public TftpCoreTest, public ::testing::WithParamInterface<int> {};

TEST_P(TftpWriteSizes, PeerWritesAFileThatReplacesTheOldOneOnlyWhenComplete)
{
    const QString target = QDir(root).filePath("backup.cfg");
    putFile("backup.cfg", "old configuration");
    reports.checkOnSuccess = target;
    const QByteArray content = patterned(GetParam(), 7);
    receive(request(2, "backup.cfg"));
    ASSERT_EQ(last().bytes, TftpPacket::acknowledgement(0));
    // All but the last block: the old file is still there, whole.
    const qsizetype lastStart = content.size() / 512 * 512;
    storeAll(content, lastStart);
    EXPECT_EQ(fileContent(target), "old configuration");
    EXPECT_EQ(session().state(), TFTPSession::Running);
    // The last block (shorter than 512 bytes, possibly empty) completes it.
    const QByteArray tail = content.mid(lastStart);
    deliver(TftpPacket::data(uint16_t(lastStart / 512 + 1), tail.constData(), tail.size()));
    EXPECT_EQ(last().bytes, TftpPacket::acknowledgement(uint16_t(lastStart / 512 + 1)));
    EXPECT_EQ(fileContent(target), content);
    EXPECT_EQ(reports.seen.back().code, TftpStatus::Success);
    EXPECT_EQ(reports.seen.back().totalBytes, content.size());
    // When the callback hears of success the file is already in place.
    EXPECT_EQ(reports.contentAtSuccess, content);
    EXPECT_EQ(QDir(root).entryList(QDir::Files | QDir::Hidden), QStringList{"backup.cfg"});
}

// 150,000 bytes: more than the session holds back before writing to the disk.
INSTANTIATE_TEST_SUITE_P(Sizes, TftpWriteSizes, ::testing::Values(0, 1, 511, 512, 1024, 1025, 5000, 150000));

// A configuration backup replacing a file the user had restricted stays restricted; a new
// one gets the permissions any new file of the user gets.
TEST_F(TftpCoreTest, AReplacedFileKeepsItsPermissionsAndANewOneGetsTheUsualOnes)
{
    const mode_t mask = ::umask(022);
    ::umask(mask);
    const auto modeOf = [&](const char* name) {
        struct stat file {};
        return ::stat(QFile::encodeName(QDir(root).filePath(name)).constData(), &file) == 0 ? file.st_mode & 0777 : 0u;
    };
    putFile("kept.cfg", "old");
    ASSERT_EQ(::chmod(QFile::encodeName(QDir(root).filePath("kept.cfg")).constData(), 0640), 0);
    for (const char* name : {"kept.cfg", "new.cfg"}) {
        receive(request(2, name));
        deliver(TftpPacket::data(1, "abc", 3));
        ASSERT_EQ(reports.seen.back().code, TftpStatus::Success) << name;
    }
    EXPECT_EQ(modeOf("kept.cfg"), 0640u);
    EXPECT_EQ(modeOf("new.cfg"), 0666u & ~mask);
}

TEST_F(TftpCoreTest, ANewFileIsCreatedAndAStoppedWriteLeavesNothing)
{
    const QByteArray content = patterned(2000);
    receive(request(2, "new.cfg"));
    storeAll(content, 1024);
    // The peer goes silent: one timeout later the session ends and no file appears,
    // neither the target nor a temporary one.
    advance(3000);
    EXPECT_EQ(reports.seen.back().code, TftpStatus::Timeout);
    EXPECT_TRUE(core.sessions().empty());
    EXPECT_TRUE(QDir(root).entryList(QDir::Files | QDir::Hidden | QDir::System).isEmpty());
}

// Written in place (for an owner that names, flushes and renames the files itself): the
// bytes go to the announced name and no other file appears; a stopped write removes it.
TEST_F(TftpCoreTest, AWriteInPlaceUsesTheAnnouncedNameAndAStoppedOneRemovesIt)
{
    core.storeWrittenFiles(TftpIncomingFile::Mode::InPlace);
    const QByteArray content = patterned(40000, 3);
    receive(request(2, "whole.part"));
    storeAll(content);
    ASSERT_EQ(reports.seen.back().code, TftpStatus::Success);
    EXPECT_EQ(fileContent(QDir(root).filePath("whole.part")), content);

    receive(request(2, "broken.part"));
    storeAll(content, 20480);
    EXPECT_TRUE(QFileInfo::exists(QDir(root).filePath("broken.part")));
    advance(3000);
    EXPECT_EQ(reports.seen.back().code, TftpStatus::Timeout);
    EXPECT_EQ(QDir(root).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"whole.part"});
}

TEST_F(TftpCoreTest, FileProblemsAnswerWithAFiveByteErrorPacket)
{
    struct Case {
        uint16_t opcode;
        QByteArray name;
        QByteArray packet;
        int code;
    };
    putFile("fw.tfp", "x");
    // An absolute name into a folder of its own, so nothing else on the machine can be in the way.
    QTemporaryDir elsewhere;
    const QByteArray outside = QFile::encodeName(elsewhere.filePath("x"));
    const std::vector<Case> cases = {
        {1, "missing.tfp", TftpPacket::error(1), TftpStatus::FileNotFound},
        {1, "../outside", TftpPacket::error(2), TftpStatus::AccessViolation},
        {1, "/etc/passwd", TftpPacket::error(2), TftpStatus::AccessViolation},
        {2, "a/../../x", TftpPacket::error(2), TftpStatus::AccessViolation},
        {2, outside, TftpPacket::error(2), TftpStatus::AccessViolation},
        {2, "nofolder/x", TftpPacket::error(2), TftpStatus::AccessViolation},
    };
    for (const Case& c : cases) {
        sent.clear();
        receive(request(c.opcode, c.name));
        ASSERT_EQ(sent.size(), 1u) << c.name.constData();
        EXPECT_EQ(sent[0].bytes, c.packet) << c.name.constData();
        EXPECT_EQ(sent[0].bytes.size(), 5);
        EXPECT_EQ(reports.seen.back().code, c.code) << c.name.constData();
        EXPECT_EQ(session().state(), TFTPSession::Failed);
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("x")));
    EXPECT_FALSE(QFile::exists(elsewhere.filePath("x")));
    // Finished sessions all leave the list at the next tick.
    core.tick();
    EXPECT_TRUE(core.sessions().empty());
}

TEST_F(TftpCoreTest, StatusRecordDescribesEachSessionAndTheCallbackHearsOfItFirst)
{
    putFile("fw.tfp", patterned(10));
    receive(request(1, "fw.tfp", "netascii"));
    receive(request(2, "up.cfg"), PeerPort + 1);
    ASSERT_EQ(core.sessions().size(), 2u);
    // Each session's reports: connected first, then transferring.
    EXPECT_EQ(reports.codes(), (std::vector<int>{1, 2, 1, 2}));
    const QvTFTPMsg& first = reports.seen[0];
    EXPECT_EQ(first.text, "(QvTFTP) A TFTP session is connected...");
    EXPECT_EQ(first.direction, 1);
    EXPECT_EQ(first.mode, "netascii");
    EXPECT_EQ(first.peerAddress, "127.0.0.1");
    EXPECT_EQ(first.peerPort, PeerPort);
    EXPECT_EQ(first.fileName, "fw.tfp");
    EXPECT_EQ(first.sessionNumber, 0);
    EXPECT_EQ(first.lastBlockLength, -1);
    EXPECT_EQ(first.timeout, 300);
    EXPECT_EQ(reports.seen[1].lastBlockLength, 10);
    EXPECT_EQ(reports.seen[1].sendCount, 1);
    EXPECT_EQ(reports.seen[2].direction, 2);
    EXPECT_EQ(reports.seen[2].sessionNumber, 1);
    // Netascii is not translated: the bytes travel as they are.
    EXPECT_EQ(sent[0].bytes.mid(4), patterned(10));
}

TEST_F(TftpCoreTest, ARepeatedRequestCreatesNoSecondSession)
{
    putFile("fw.tfp", patterned(3000));
    receive(request(1, "fw.tfp"));
    receive(request(1, "fw.tfp"));
    EXPECT_EQ(core.sessions().size(), 1u);
    EXPECT_EQ(sent.size(), 1u);
    // The same name from another port is another transfer.
    receive(request(1, "fw.tfp"), PeerPort + 1);
    EXPECT_EQ(core.sessions().size(), 2u);
}

TEST_F(TftpCoreTest, OldAcknowledgementsAndStrayPacketsCauseNoResend)
{
    putFile("fw.tfp", patterned(3000));
    receive(request(1, "fw.tfp"));
    deliver(TftpPacket::acknowledgement(1));
    ASSERT_EQ(sent.size(), 2u);
    for (const QByteArray& stray : {TftpPacket::acknowledgement(1), TftpPacket::acknowledgement(0),
                                    TftpPacket::acknowledgement(7), TftpPacket::data(2, "ab", 2),
                                    TftpPacket::error(0), QByteArray("\0\4", 2)})
        deliver(stray);
    EXPECT_EQ(sent.size(), 2u);
    deliver(TftpPacket::acknowledgement(2));
    EXPECT_EQ(TftpPacket::numberOf(last().bytes.constData()), 3);
}

TEST_F(TftpCoreTest, ARepeatedDataBlockIsAcknowledgedAgainButWrittenOnce)
{
    const QByteArray content = patterned(1300);
    receive(request(2, "up.cfg"));
    deliver(TftpPacket::data(1, content.constData(), 512));
    deliver(TftpPacket::data(1, content.constData(), 512));
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[2].bytes, TftpPacket::acknowledgement(1));
    deliver(TftpPacket::data(3, content.constData() + 1024, 276));  // out of order: ignored
    EXPECT_EQ(sent.size(), 3u);
    deliver(TftpPacket::data(2, content.constData() + 512, 512));
    deliver(TftpPacket::data(3, content.constData() + 1024, 276));
    EXPECT_EQ(fileContent(QDir(root).filePath("up.cfg")), content);
}

TEST_F(TftpCoreTest, ADatagramFromAnotherPortIsToldUnknownTransferAndChangesNothing)
{
    putFile("fw.tfp", patterned(3000));
    receive(request(1, "fw.tfp"));
    deliver(TftpPacket::acknowledgement(1), PeerPort + 5);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].bytes, TftpPacket::error(5));
    EXPECT_EQ(sent[1].port, PeerPort + 5);
    // The transfer goes on with its own peer.
    deliver(TftpPacket::acknowledgement(1));
    EXPECT_EQ(TftpPacket::numberOf(last().bytes.constData()), 2);
    EXPECT_EQ(last().port, PeerPort);
    EXPECT_EQ(reports.seen.back().code, TftpStatus::Transferring);
}

// A data block nobody acknowledges goes out again one and two timeouts after its first
// send; three timeouts after it the session ends with -1113. The schedule shrinks with the
// process-wide time scale.
class TftpResendTiming : public TftpCoreTest, public ::testing::WithParamInterface<double> {};

TEST_P(TftpResendTiming, UnacknowledgedBlockIsResentTwiceThenTimesOut)
{
    TimeScale::setFactor(GetParam());
    const int64_t timeout = TimeScale::scaled(3000);
    putFile("fw.tfp", patterned(100));
    const int64_t start = now;
    receive(request(1, "fw.tfp"));
    // Each resend waits for the next tick, so the schedule may slip by a tick per send.
    const double slack = 3.0 * TimeScale::scaled(20);
    int64_t endedAt = 0;
    while (now < start + 5 * timeout) {
        advance(1);
        if (endedAt == 0 && reports.seen.back().code == TftpStatus::Timeout)
            endedAt = now;
    }
    ASSERT_EQ(sent.size(), 3u);
    for (const Sent& datagram : sent)
        EXPECT_EQ(datagram.bytes, sent[0].bytes);
    EXPECT_EQ(sent[0].at, start);
    EXPECT_NEAR(double(sent[1].at - start), double(timeout), slack);
    EXPECT_NEAR(double(sent[2].at - start), double(2 * timeout), slack);
    EXPECT_NEAR(double(endedAt - start), double(3 * timeout), slack);
    // Never early: a block counts as lost only once its whole timeout has passed.
    EXPECT_GE(sent[1].at - start, timeout);
    EXPECT_GE(sent[2].at - sent[1].at, timeout);
    EXPECT_GE(endedAt - sent[2].at, timeout);
    EXPECT_EQ(reports.seen.back().code, TftpStatus::Timeout);
    EXPECT_EQ(reports.seen.back().sendCount, 3);
    EXPECT_TRUE(core.sessions().empty());
}

INSTANTIATE_TEST_SUITE_P(Scales, TftpResendTiming, ::testing::Values(1.0, 0.01));

TEST_F(TftpCoreTest, AWriteGivesUpAfterOneTimeoutWithoutResendingItsAcknowledgement)
{
    receive(request(2, "up.cfg"));
    advance(2980);
    EXPECT_EQ(reports.seen.back().code, TftpStatus::Transferring);
    advance(40);
    EXPECT_EQ(reports.seen.back().code, TftpStatus::Timeout);
    EXPECT_EQ(sent.size(), 1u);
}

TEST_F(TftpCoreTest, AnErrorPacketFromThePeerIsIgnoredUntilTheTimeout)
{
    putFile("fw.tfp", patterned(100));
    receive(request(1, "fw.tfp"));
    deliver(TftpPacket::error(0));
    EXPECT_EQ(session().state(), TFTPSession::Running);
    advance(9100);
    EXPECT_EQ(reports.seen.back().code, TftpStatus::Timeout);
}

TEST_F(TftpCoreTest, CancelFlagEndsTheSessionAtItsNextStep)
{
    putFile("fw.tfp", patterned(3000));
    reports.cancelOn = TftpStatus::Transferring;
    receive(request(1, "fw.tfp"));
    EXPECT_EQ(session().state(), TFTPSession::Running);
    deliver(TftpPacket::acknowledgement(1));
    EXPECT_EQ(reports.seen.back().code, TftpStatus::Canceled);
    EXPECT_EQ(sent.size(), 1u);

    // A canceled write leaves the file it was to replace untouched.
    putFile("up.cfg", "keep");
    receive(request(2, "up.cfg"));
    deliver(TftpPacket::data(1, "new", 3));
    EXPECT_EQ(reports.seen.back().code, TftpStatus::Canceled);
    EXPECT_EQ(fileContent(QDir(root).filePath("up.cfg")), "keep");
}

TEST_F(TftpCoreTest, SocketFailuresEndTheSession)
{
    putFile("fw.tfp", patterned(100));
    channelFails = true;
    receive(request(1, "fw.tfp"));
    EXPECT_EQ(reports.codes(), (std::vector<int>{1, TftpStatus::SocketOpenFailed}));
    // The requester hears why from the listening port instead of waiting in vain.
    ASSERT_EQ(answered.size(), 1u);
    EXPECT_EQ(answered[0].bytes,
              TftpPacket::error(TftpPacket::NotDefined, "Server cannot open a socket for this transfer"));
    EXPECT_EQ(answered[0].port, PeerPort);

    channelFails = false;
    failing = true;
    reports.seen.clear();
    receive(request(1, "fw.tfp"), PeerPort + 1);
    EXPECT_EQ(reports.codes(), (std::vector<int>{1, TftpStatus::SendReceiveFailed}));
    EXPECT_EQ(session().state(), TFTPSession::Failed);
}

// A flood of requests that end at once leaves no session behind after one tick, so
// their sockets do not pile up.
TEST_F(TftpCoreTest, OneTickRemovesEveryFinishedSession)
{
    for (uint16_t port = 1000; port < 1200; ++port)
        receive(request(1, "missing.tfp"), port);
    ASSERT_EQ(core.sessions().size(), 200u);
    advance(20);
    EXPECT_TRUE(core.sessions().empty());
}

// Two sessions whose blocks are lost at the same moment are both resent on that tick.
TEST_F(TftpCoreTest, EveryExpiredSessionIsResentOnTheSameTick)
{
    putFile("fw.tfp", patterned(100));
    receive(request(1, "fw.tfp"), PeerPort);
    receive(request(1, "fw.tfp"), PeerPort + 1);
    ASSERT_EQ(sent.size(), 2u);
    now += 3000;
    core.tick();
    EXPECT_EQ(sent.size(), 4u);
}

// While announced transfers are the rule, a request is served only when its peer, its
// file name and its direction match one of them; anything else gets error 2 from the
// listening port and leaves no session and no report.
TEST_F(TftpCoreTest, OnlyAnnouncedTransfersAreServed)
{
    putFile("fw.tfp", patterned(100));
    putFile("other.tfp", patterned(100));
    const QHostAddress device(QStringLiteral("127.0.0.1"));
    const QHostAddress secondDevice(QStringLiteral("10.1.2.3"));
    const QHostAddress neighbour(QStringLiteral("127.0.0.2"));
    core.admitOnlyExpected(true);
    core.expect({device, "fw.tfp", 1});
    core.expect({secondDevice, "up.cfg", 2});

    struct Case {
        QHostAddress from;
        uint16_t opcode;
        const char* name;
        bool served;
    };
    const Case cases[] = {
        {device, 1, "fw.tfp", true},
        {secondDevice, 2, "up.cfg", true},
        {neighbour, 1, "fw.tfp", false},      // another host
        {device, 1, "other.tfp", false},      // another file of the folder
        {device, 2, "fw.tfp", false},         // a write where a read is expected
        {device, 2, "up.cfg", false},         // the other device's transfer
        {secondDevice, 1, "fw.tfp", false},
        {device, 1, "FW.TFP", false},
        {device, 1, "./fw.tfp", false},
    };
    uint16_t port = 2000;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " from " + c.from.toString().toStdString());
        const std::size_t sessions = core.sessions().size();
        const std::size_t reported = reports.seen.size();
        answered.clear();
        const QByteArray datagram = request(c.opcode, c.name);
        core.handleRequest(datagram.constData(), datagram.size(), c.from, ++port);
        if (c.served) {
            EXPECT_EQ(core.sessions().size(), sessions + 1);
            EXPECT_TRUE(answered.empty());
        } else {
            EXPECT_EQ(core.sessions().size(), sessions);
            EXPECT_EQ(reports.seen.size(), reported);
            ASSERT_EQ(answered.size(), 1u);
            EXPECT_EQ(answered[0].bytes, TftpPacket::error(TftpPacket::AccessViolation));
            EXPECT_EQ(answered[0].address, c.from);
            EXPECT_EQ(answered[0].port, port);
        }
    }

    // A forgotten transfer is refused; by default every request is served.
    core.forget({device, "fw.tfp", 1});
    EXPECT_FALSE(core.admits(device, "fw.tfp", 1));
    EXPECT_TRUE(core.admits(secondDevice, "up.cfg", 2));
    core.admitOnlyExpected(false);
    EXPECT_TRUE(core.admits(neighbour, "other.tfp", 2));
}

// Past block 65535 the block number rolls over to 0, so images above 32 MiB go whole.
TEST_F(TftpCoreTest, BlockNumbersRollOverInBothDirections)
{
    const QByteArray content = patterned(65536 * 512 + 700, 3);
    putFile("big.tfp", content);
    receive(request(1, "big.tfp"));
    EXPECT_EQ(fetchAll(), content);
    EXPECT_EQ(reports.seen.back().code, TftpStatus::Success);

    receive(request(2, "big-copy.tfp"));
    storeAll(content);
    EXPECT_EQ(reports.seen.back().code, TftpStatus::Success);
    EXPECT_EQ(fileContent(QDir(root).filePath("big-copy.tfp")), content);
}

} // namespace
