// Real TFTP clients fetch files from and store files on the module's server program:
// every size arrives byte-identical, missing files and names that leave the served
// folder are refused, and nothing outside the folder is read or created.
#include "interop/TftpInterop.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QUdpSocket>

using namespace tftp_interop;

namespace {

constexpr qint64 MiB = 1024 * 1024;

struct TransferCase {
    Client client;
    bool store;
    qint64 size;
    bool onePort = false;  // the server carries all transfers on one socket
};

std::string caseName(const TransferCase& c)
{
    return std::string(clientName(c.client)) + (c.store ? "_stores_" : "_fetches_")
        + std::to_string(c.size) + (c.onePort ? "_on_one_port" : "");
}

class TftpClientTransfer : public ::testing::TestWithParam<TransferCase> {};

TEST_P(TftpClientTransfer, FileArrivesByteIdentical)
{
    const TransferCase& c = GetParam();
    Folders folders;
    ServeProgram server;
    const QStringList options = c.onePort ? QStringList{"--one-port"} : QStringList{};
    ASSERT_TRUE(server.start(folders.served, folders.base.filePath("serve.log"), options));

    const QString remoteName = QStringLiteral("image-%1.tfp").arg(c.size);
    const QString source = c.store ? QDir(folders.client).filePath("upload.bin")
                                   : QDir(folders.served).filePath(remoteName);
    const QString destination = c.store ? QDir(folders.served).filePath(remoteName)
                                        : QDir(folders.client).filePath("download.bin");
    writePatterned(source, c.size, static_cast<uint32_t>(c.size) ^ 0x5a5a);
    if (c.store) {
        // The stored file replaces an older one of another size.
        writePatterned(destination, 777, 1);
    }

    const QString local = c.store ? source : destination;
    const ClientRun run = transfer(c.client, c.store, server.port(), remoteName, local, folders.client);
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_FALSE(run.output.contains("Error")) << run.output.toStdString();
    EXPECT_EQ(server.sessionEnd(remoteName, 10000), 3) << server.log().toStdString();
    EXPECT_EQ(QFileInfo(destination).size(), c.size);
    EXPECT_EQ(checksum(destination), checksum(source));
    // A store leaves exactly the one file in the folder: no temporary file stays behind.
    if (c.store) {
        EXPECT_EQ(filesBelow(folders.served), QStringList{remoteName});
    }
}

std::vector<TransferCase> allCases()
{
    std::vector<TransferCase> cases;
    for (Client client : {Client::TftpHpa, Client::Atftp, Client::Curl})
        for (bool store : {false, true})
            for (qint64 size : {qint64(0), qint64(511), qint64(512), qint64(1024), MiB + 1, 40 * MiB})
                cases.push_back({client, store, size});
    for (Client client : {Client::TftpHpa, Client::Atftp, Client::Curl})
        for (bool store : {false, true})
            cases.push_back({client, store, MiB + 1, true});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Clients, TftpClientTransfer, ::testing::ValuesIn(allCases()),
                         [](const auto& info) { return caseName(info.param); });

class TftpRefusals : public ::testing::Test {
protected:
    void SetUp() override
    {
        writePatterned(QDir(folders.outside).filePath("secret"), 600, 9);
        ASSERT_TRUE(QDir(folders.served).mkpath("a"));
        ASSERT_TRUE(QFile::link(folders.outside, QDir(folders.served).filePath("link-out")));
        ASSERT_TRUE(QFile::link(QDir(folders.outside).filePath("secret"),
                                QDir(folders.served).filePath("secret-link")));
        ASSERT_TRUE(server.start(folders.served, folders.base.filePath("serve.log")));
    }

    Folders folders;
    ServeProgram server;
};

TEST_F(TftpRefusals, AMissingFileGetsErrorOneFromEveryClient)
{
    const QString local = QDir(folders.client).filePath("got.bin");
    const ClientRun hpa = transfer(Client::TftpHpa, false, server.port(), "absent-1.tfp", local, folders.client);
    EXPECT_TRUE(hpa.output.contains("Error code 1")) << hpa.output.toStdString();
    EXPECT_EQ(server.sessionEnd("absent-1.tfp", 5000), -1102);

    const ClientRun atftp = transfer(Client::Atftp, false, server.port(), "absent-2.tfp", local, folders.client);
    EXPECT_NE(atftp.exitCode, 0);
    EXPECT_TRUE(atftp.output.contains("error received from server")) << atftp.output.toStdString();
    EXPECT_EQ(server.sessionEnd("absent-2.tfp", 5000), -1102);

    // curl names the TFTP error "file not found" with its exit code 68.
    const ClientRun curl = transfer(Client::Curl, false, server.port(), "absent-3.tfp", local, folders.client);
    EXPECT_EQ(curl.exitCode, 68) << curl.output.toStdString();
    EXPECT_EQ(server.sessionEnd("absent-3.tfp", 5000), -1102);
}

TEST_F(TftpRefusals, NamesLeavingTheFolderAreRefusedAndReadNothing)
{
    const QByteArray secret = FileContents(QDir(folders.outside).filePath("secret"));
    const QStringList names = {"../outside/secret", "/etc/passwd", "a/../../outside/secret",
                               "link-out/secret", "secret-link",
                               QDir(folders.outside).filePath("secret")};
    int run = 0;
    for (const QString& name : names) {
        for (Client client : {Client::TftpHpa, Client::Atftp}) {
            const QString local = QDir(folders.client).filePath(QStringLiteral("got-%1").arg(run++));
            const ClientRun result = transfer(client, false, server.port(), name, local, folders.client);
            if (client == Client::TftpHpa)
                EXPECT_TRUE(result.output.contains("Error code 2")) << name.toStdString();
            else
                EXPECT_NE(result.exitCode, 0) << name.toStdString();
            const QByteArray got = FileContents(local);
            EXPECT_TRUE(got.isEmpty()) << name.toStdString() << ": " << got.size() << " bytes arrived";
            EXPECT_NE(got, secret);
        }
    }
    // Every refused read ended its session with the access violation status.
    EXPECT_EQ(server.waitForCount("-1103 (QvTFTP) Access violation!", names.size() * 2, 5000),
              names.size() * 2)
        << server.log().toStdString();
    EXPECT_FALSE(server.log().contains(": 3 ")) << server.log().toStdString();
}

TEST_F(TftpRefusals, StoresLeavingTheFolderAreRefusedAndCreateNothing)
{
    const QString upload = QDir(folders.client).filePath("planted");
    writePatterned(upload, 1500, 4);
    const QStringList names = {"../outside/planted", "a/../../outside/planted", "link-out/planted",
                               QDir(folders.outside).filePath("planted"), "secret-link",
                               "../planted"};
    for (const QString& name : names) {
        for (Client client : {Client::TftpHpa, Client::Atftp}) {
            const ClientRun result = transfer(client, true, server.port(), name, upload, folders.client);
            if (client == Client::TftpHpa)
                EXPECT_TRUE(result.output.contains("Error code 2")) << name.toStdString();
            else
                EXPECT_NE(result.exitCode, 0) << name.toStdString();
        }
    }
    // The file the link points at is untouched, and no new file appeared anywhere but the
    // client's own folder.
    EXPECT_EQ(filesBelow(folders.outside), QStringList{"secret"});
    EXPECT_EQ(FileContents(QDir(folders.outside).filePath("secret")).size(), 600);
    EXPECT_FALSE(QFile::exists(folders.base.filePath("planted")));
    EXPECT_TRUE(filesBelow(folders.served).filter("planted").isEmpty());
    EXPECT_EQ(server.waitForCount("-1103 (QvTFTP) Access violation!", names.size() * 2, 5000),
              names.size() * 2)
        << server.log().toStdString();
}

TEST_F(TftpRefusals, TheProgramStopsCleanlyOnInterrupt)
{
    EXPECT_EQ(server.interrupt(), 0);
}

// A request sent from a plain socket of the test, whose answers nobody reads.
void sendRequest(uint16_t port, uint16_t opcode, const QByteArray& name)
{
    QUdpSocket socket;
    QByteArray datagram;
    datagram.append(char(0)).append(char(opcode)).append(name).append('\0').append("octet").append('\0');
    socket.writeDatagram(datagram, QHostAddress::LocalHost, port);
}

// A signal ends the program with 0 whenever it comes: before any request, while a session
// waits for a silent peer, and within milliseconds of a refused request whose session is
// still being finished.
TEST(TftpServeProgram, ASignalAtAnyMomentOfATransferEndsItWithZero)
{
    Folders folders;
    writePatterned(QDir(folders.served).filePath("fw.tfp"), 5000, 2);
    const QStringList quick = {"--timeout", "50", "--sends", "1"};  // a silent peer is given up after 0.5 s
    enum Moment { BeforeAnyRequest, DuringATransfer, AfterARefusal };
    struct Case {
        Moment moment;
        int delayMs;
    };
    const Case cases[] = {{BeforeAnyRequest, 0}, {DuringATransfer, 50}, {AfterARefusal, 0},
                          {AfterARefusal, 1}, {AfterARefusal, 3}, {AfterARefusal, 10}, {AfterARefusal, 25}};
    int run = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE("moment " + std::to_string(c.moment) + " after " + std::to_string(c.delayMs) + " ms");
        ServeProgram program;
        ASSERT_TRUE(program.start(folders.served, folders.base.filePath(QStringLiteral("serve-%1.log").arg(run++)),
                                  quick));
        if (c.moment == DuringATransfer)
            sendRequest(program.port(), 1, "fw.tfp");
        if (c.moment == AfterARefusal)
            sendRequest(program.port(), 2, "../outside/planted");
        QThread::msleep(c.delayMs);
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(program.interrupt(), 0) << program.log().toStdString();
        EXPECT_LT(clock.elapsed(), 5000);
    }
    EXPECT_TRUE(filesBelow(folders.outside).isEmpty());
}

} // namespace

namespace {

TEST(TftpServeProgram, BadArgumentsAreRefusedWithAClearMessage)
{
    Folders folders;
    struct Case {
        QStringList arguments;
        int exitCode;
        const char* message;
    };
    const QString port = QString::number(FreeUdpPort());
    for (const Case& c : {Case{{}, 2, "a folder and a port are needed"},
                          Case{{folders.base.filePath("absent"), port}, 2, "the folder does not exist"},
                          Case{{folders.served, "sixty-nine"}, 2, "'sixty-nine' is not a valid integer value"},
                          Case{{folders.served, "0"}, 2, "the port must lie between 1 and 65535"},
                          Case{{folders.served, port, "--sends"}, 2, "an option lacks its value"},
                          Case{{folders.served, port, "--verbose", "1"}, 2, "unknown option"}}) {
        const ClientRun run = runClient(serverProgram(), c.arguments, folders.base.path(), {}, 10000);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(run.output.contains(c.message)) << run.output.toStdString();
    }
}

TEST(TftpServeProgram, ATakenPortIsReportedSayingWhy)
{
    Folders folders;
    // Even a holder that allows address reuse keeps the program out: two servers on one
    // port would split the requests between them.
    QUdpSocket holder;
    const uint16_t taken = FreeUdpPort();
    ASSERT_TRUE(holder.bind(QHostAddress::AnyIPv4, taken, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));
    const ClientRun run = runClient(serverProgram(), {folders.served, QString::number(taken)},
                                    folders.base.path(), {}, 10000);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.output.contains("cannot listen on UDP port " + QString::number(taken) + ": another program holds it"))
        << run.output.toStdString();
}

// A folder offered for fetching only: every client's write is refused and told why, the
// refusal is logged, and reads go on. Every error packet carries its text.
TEST(TftpServeProgram, ReadOnlyServesFilesAndRefusesWritesSayingWhy)
{
    Folders folders;
    writePatterned(QDir(folders.served).filePath("fw.tfp"), 1500, 6);
    ServeProgram server;
    ASSERT_TRUE(server.start(folders.served, folders.base.filePath("serve.log"), {"--read-only"}));
    const QString upload = QDir(folders.client).filePath("up.cfg");
    writePatterned(upload, 700, 7);
    const ClientRun put = transfer(Client::TftpHpa, true, server.port(), "up.cfg", upload, folders.client);
    EXPECT_TRUE(put.output.contains("Error code 2: this server takes no writes")) << put.output.toStdString();
    const ClientRun atftp = transfer(Client::Atftp, true, server.port(), "fw.tfp", upload, folders.client);
    EXPECT_NE(atftp.exitCode, 0);
    EXPECT_EQ(filesBelow(folders.served), QStringList{"fw.tfp"});
    EXPECT_EQ(FileContents(QDir(folders.served).filePath("fw.tfp")).size(), 1500);
    EXPECT_EQ(server.waitForCount("\"up.cfg\": this server takes no writes", 1, 5000), 1) << server.log().toStdString();
    EXPECT_TRUE(server.log().contains("refused write 127.0.0.1:")) << server.log().toStdString();

    const QString local = QDir(folders.client).filePath("got.tfp");
    const ClientRun get = transfer(Client::TftpHpa, false, server.port(), "fw.tfp", local, folders.client);
    EXPECT_EQ(get.exitCode, 0) << get.output.toStdString();
    EXPECT_EQ(checksum(local), checksum(QDir(folders.served).filePath("fw.tfp")));
    const ClientRun missing = transfer(Client::TftpHpa, false, server.port(), "absent.tfp", local, folders.client);
    EXPECT_TRUE(missing.output.contains("Error code 1: File not found")) << missing.output.toStdString();
}

} // namespace
