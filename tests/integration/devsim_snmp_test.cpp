// vta-devsim against Net-SNMP's own command-line tools in SNMPv1, v2c and v3.
#include "support/DevsimAgent.h"
#include "support/DevsimObjects.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QSet>
#include <gtest/gtest.h>

namespace {

const QString kPrivate = "1.3.6.1.4.1.32473.10.37.24";

struct ToolRun {
    int exitCode = -1;
    QString output;  // standard output and error together
};

// Runs snmpget / snmpset / snmpwalk ... with numeric OIDs and no MIB files.
ToolRun Tool(const QString& program, const QStringList& arguments, int timeoutMs = 30000)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MIBS", "");
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, QStringList{"-On"} + arguments);
    ToolRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.output = program + " did not finish";
        return run;
    }
    run.exitCode = process.exitCode();
    run.output = QString::fromUtf8(process.readAll());
    return run;
}

struct Credentials {
    const char* label;
    QStringList read;   // arguments that select version and read access
    QStringList write;  // ... and write access
};

const Credentials kV1{"v1", {"-v1", "-c", "public"}, {"-v1", "-c", "private"}};
const Credentials kV2c{"v2c", {"-v2c", "-c", "public"}, {"-v2c", "-c", "private"}};
const QStringList kShaAes{"-v3", "-u", "shaaes", "-l", "authPriv", "-a", "SHA", "-A", "shaauthpass", "-x", "AES",
                          "-X", "aesprivpass"};
const QStringList kMd5Des{"-v3", "-u", "md5des", "-l", "authPriv", "-a", "MD5", "-A", "md5authpass", "-x", "DES",
                          "-X", "desprivpass"};
const Credentials kV3ShaAes{"v3 SHA/AES", kShaAes, kShaAes};
const Credentials kV3Md5Des{"v3 MD5/DES", kMd5Des, kMd5Des};

class DevsimSnmp : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(agent.start()) << agent.error(); }

    QString target() const { return "127.0.0.1:" + QString::number(agent.port()); }
    ToolRun get(const Credentials& c, const QStringList& oids, const QStringList& extra = {})
    {
        return Tool("snmpget", c.read + extra + QStringList{target()} + oids);
    }
    ToolRun set(const Credentials& c, const QStringList& assignments)
    {
        return Tool("snmpset", c.write + QStringList{target()} + assignments);
    }
    // Instance OID -> value text of a walk's output.
    QMap<QString, QString> walk(const Credentials& c, const QString& root)
    {
        const ToolRun run = Tool("snmpwalk", c.read + QStringList{target(), root});
        EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
        QMap<QString, QString> result;
        static const QRegularExpression line(R"(^\.?([0-9.]+) = (.*)$)", QRegularExpression::MultilineOption);
        for (auto it = line.globalMatch(run.output); it.hasNext();) {
            const auto match = it.next();
            result.insert(match.captured(1), match.captured(2));
        }
        return result;
    }

    DevsimAgent agent{{"--restart-seconds", "2"}};
};

TEST_F(DevsimSnmp, WalkInEveryVersionReturnsEveryObjectTheModuleUses)
{
    const auto objects = ObjectsTheModuleUses();
    ASSERT_GT(objects.size(), 200u) << "tests/integration/devsim_variables.txt is missing or short";
    // Tables that stay empty until a command fills them: one static lease, both current
    // DHCP mappings, a rogue AP detection with one AP moved to the AP list.
    const ToolRun filled = set(kV2c, {kPrivate + ".2.7.3.1.2.1", "a", "192.168.0.20", kPrivate + ".2.7.3.1.3.1",
                                      "x", "00112233AABB", kPrivate + ".2.7.3.1.9.1", "i", "1"});
    ASSERT_EQ(filled.exitCode, 0) << filled.output.toStdString();
    for (const char* command : {".2.7.4.3.1.0", ".2.7.4.3.2.0", ".2.10.4.1.1.0"})
        ASSERT_EQ(set(kV2c, {kPrivate + command, "i", "1"}).exitCode, 0) << command;
    ASSERT_EQ(set(kV2c, {kPrivate + ".2.10.4.1.2.0", "i", "1"}).exitCode, 0);

    for (const Credentials* credentials : {&kV1, &kV2c, &kV3ShaAes}) {
        SCOPED_TRACE(credentials->label);
        QMap<QString, QString> walked = walk(*credentials, kPrivate);
        walked.insert(walk(*credentials, "1.3.6.1.2.1.1"));
        for (const ListedObject& object : objects) {
            if (!object.column) {
                EXPECT_TRUE(walked.contains(object.oid)) << object.oid.toStdString() << " " << object.name.toStdString();
                continue;
            }
            const auto row = walked.lowerBound(object.oid + ".");
            EXPECT_TRUE(row != walked.end() && row.key().startsWith(object.oid + "."))
                << "no row in column " << object.oid.toStdString() << " " << object.name.toStdString();
        }
    }
}

TEST_F(DevsimSnmp, GetNextPastTheLastObjectEndsTheWalkAsEachVersionSays)
{
    const ToolRun v2c = Tool("snmpgetnext", kV2c.read + QStringList{target(), "1.3.6.1.6.3.99"});
    EXPECT_TRUE(v2c.output.contains("No more variables left in this MIB View")) << v2c.output.toStdString();
    const ToolRun v1 = Tool("snmpgetnext", kV1.read + QStringList{target(), "1.3.6.1.6.3.99"});
    EXPECT_TRUE(v1.output.contains("noSuchName")) << v1.output.toStdString();
}

TEST_F(DevsimSnmp, RefusedSetsGiveTheStatusOfTheirFaultAndChangeNothing)
{
    const QString readOnly = kPrivate + ".4.1.1.1.0";   // firmware version
    const QString ssid = kPrivate + ".1.1.1.1.1";
    const QString beacon = kPrivate + ".2.3.1.6.1";     // 20..1000
    struct Case {
        const Credentials* credentials;
        QStringList assignment;
        const char* expected;
    } cases[] = {
        {&kV2c, {readOnly, "s", "9.99"}, "notWritable"},
        {&kV3ShaAes, {readOnly, "s", "9.99"}, "notWritable"},
        {&kV1, {readOnly, "s", "9.99"}, "noSuchName"},
        {&kV2c, {ssid, "i", "3"}, "wrongType"},
        {&kV3Md5Des, {ssid, "i", "3"}, "wrongType"},
        {&kV1, {ssid, "i", "3"}, "badValue"},
        {&kV2c, {beacon, "i", "5000"}, "wrongValue"},
        {&kV2c, {ssid, "s", QString(33, 'x')}, "wrongLength"},
        {&kV2c, {kPrivate + ".9.9.0", "i", "1"}, "noCreation"},
        {&kV2c, {ssid + "0", "s", "x"}, "noCreation"},
        {&kV2c, {kPrivate + ".1.2.3.0", "a", "255.0.255.0"}, "wrongValue"},  // not a subnet mask
        {&kV2c, {kPrivate + ".3.1.1.0", "s", "bad name"}, "wrongValue"},     // user name with a blank
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.credentials->label) + " " + c.assignment.join(' ').toStdString());
        const ToolRun run = set(*c.credentials, c.assignment);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_TRUE(run.output.contains(c.expected)) << run.output.toStdString();
    }
    const ToolRun readCommunity = Tool("snmpset", kV2c.read + QStringList{target(), ssid, "s", "x"});
    EXPECT_TRUE(readCommunity.output.contains("noAccess")) << readCommunity.output.toStdString();

    EXPECT_EQ(agent.value(readOnly), "2.05");
    EXPECT_EQ(agent.value(ssid), "VTA3100QX");
    EXPECT_EQ(agent.value(beacon), "100");
}

TEST_F(DevsimSnmp, SetsInEveryVersionReachTheStateFile)
{
    const QString contact = "1.3.6.1.2.1.1.4.0";
    const QString name = "1.3.6.1.2.1.1.5.0";
    const QString location = "1.3.6.1.2.1.1.6.0";
    const QString gateway = kPrivate + ".1.2.4.0";
    ASSERT_EQ(set(kV1, {contact, "s", "noc@example.org"}).exitCode, 0);
    ASSERT_EQ(set(kV2c, {name, "s", "lobby-ap"}).exitCode, 0);
    ASSERT_EQ(set(kV3Md5Des, {location, "s", "Lobby"}).exitCode, 0);
    ASSERT_EQ(set(kV3ShaAes, {gateway, "a", "192.168.0.254"}).exitCode, 0);

    // The state file is written before the answer leaves: read it directly, no dump request.
    QFile file(agent.stateFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    for (const char* expected : {"noc@example.org", "lobby-ap", "Lobby", "192.168.0.254"})
        EXPECT_TRUE(text.contains(expected)) << expected;
    const ToolRun read = get(kV3ShaAes, {name, gateway});
    EXPECT_TRUE(read.output.contains("lobby-ap") && read.output.contains("192.168.0.254")) << read.output.toStdString();
}

TEST_F(DevsimSnmp, SecretsReadBackMaskedAndAMaskedWriteKeepsThem)
{
    const QString key = kPrivate + ".2.5.3.1.1.1.1";
    ASSERT_EQ(set(kV2c, {key, "s", "0123456789"}).exitCode, 0);
    EXPECT_TRUE(get(kV2c, {key}).output.contains("\"**********\""));
    ASSERT_EQ(set(kV2c, {key, "s", "**********"}).exitCode, 0);
    EXPECT_EQ(agent.value(key), "0123456789");
    EXPECT_TRUE(set(kV2c, {key, "s", "01234567zz"}).output.contains("wrongValue"));  // not hexadecimal
}

TEST_F(DevsimSnmp, RestartSilencesTheDeviceThenAppliesTheSavedSettings)
{
    const QString upTime = "1.3.6.1.2.1.1.3.0";
    const QString runningSsid = kPrivate + ".4.1.2.1.1.1";
    ASSERT_EQ(set(kV2c, {kPrivate + ".1.1.1.1.1", "s", "AfterRestart"}).exitCode, 0);
    EXPECT_TRUE(get(kV2c, {runningSsid}).output.contains("\"VTA3100QX\"")) << "applied before the restart";
    QThread::msleep(1200);  // some up time and traffic to lose
    const QString frames = kPrivate + ".4.3.1.1.7.1";  // transmitted frames of radio 1
    static const QRegularExpression counter(R"(Counter32: (\d+))");
    const auto before = counter.match(get(kV2c, {frames}).output);
    ASSERT_TRUE(before.hasMatch());
    EXPECT_GT(before.captured(1).toLongLong(), 0) << "a running radio counts frames";

    const ToolRun restart = set(kV2c, {kPrivate + ".3.2.1.0", "i", "1"});
    ASSERT_EQ(restart.exitCode, 0) << restart.output.toStdString();  // the set itself is answered
    QElapsedTimer silence;
    silence.start();
    const QStringList quick{"-t", "0.3", "-r", "0"};
    EXPECT_TRUE(get(kV2c, {upTime}, quick).output.contains("Timeout")) << "answered during the restart";
    ToolRun answer;
    while (silence.elapsed() < 10000) {
        answer = get(kV2c, {upTime, runningSsid, frames}, quick);
        if (answer.exitCode == 0)
            break;
    }
    ASSERT_EQ(answer.exitCode, 0) << "never came back";
    EXPECT_GE(silence.elapsed(), 1500);
    EXPECT_LE(silence.elapsed(), 5000);
    static const QRegularExpression ticks(R"(Timeticks: \((\d+)\))");
    const auto match = ticks.match(answer.output);
    ASSERT_TRUE(match.hasMatch()) << answer.output.toStdString();
    EXPECT_LT(match.captured(1).toInt(), 100) << "sysUpTime did not restart";
    EXPECT_TRUE(answer.output.contains("\"AfterRestart\"")) << answer.output.toStdString();
    const auto after = counter.match(answer.output);
    ASSERT_TRUE(after.hasMatch());
    EXPECT_LT(after.captured(1).toLongLong(), before.captured(1).toLongLong()) << "counters restart with the device";
}

TEST_F(DevsimSnmp, AThousandClientsWalkInFourColumns)
{
    DevsimAgent loaded({"--clients", "1000"});
    ASSERT_TRUE(loaded.start()) << loaded.error();
    const QString target = "127.0.0.1:" + QString::number(loaded.port());
    QElapsedTimer clock;
    clock.start();
    int rows = 0;
    for (const char* column : {".4.5.2.1.2", ".4.5.2.1.3", ".4.5.2.1.4", ".4.5.2.1.5"}) {
        const ToolRun run = Tool("snmpwalk", kV2c.read + QStringList{target, kPrivate + column}, 120000);
        ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
        rows += static_cast<int>(run.output.count('\n'));
    }
    EXPECT_EQ(rows, 4000);
    ::testing::Test::RecordProperty("walk_ms", static_cast<int>(clock.elapsed()));
}

// One datagram lost on the way: the first request naming an object of the subtree goes
// unanswered, the next is answered; other objects are never touched.
TEST_F(DevsimSnmp, DropOnceLosesOnlyTheFirstRequestIntoItsSubtree)
{
    DevsimAgent lossy({"--drop-once", kPrivate + ".2.7.3.1"});
    ASSERT_TRUE(lossy.start()) << lossy.error();
    const QString target = "127.0.0.1:" + QString::number(lossy.port());
    const QStringList once{"-t", "0.3", "-r", "0"};
    const QString lease = kPrivate + ".2.7.3.1.2.1";
    EXPECT_EQ(Tool("snmpget", kV2c.read + once + QStringList{target, kPrivate + ".1.2.2.0"}).exitCode, 0);
    const ToolRun lost = Tool("snmpget", kV2c.read + once + QStringList{target, lease});
    EXPECT_TRUE(lost.output.contains("Timeout")) << lost.output.toStdString();
    const ToolRun answered = Tool("snmpget", kV2c.read + once + QStringList{target, lease});
    EXPECT_EQ(answered.exitCode, 0) << answered.output.toStdString();
    EXPECT_TRUE(answered.output.contains("0.0.0.0")) << answered.output.toStdString();
}

TEST(DevsimCommandLine, HelpListsEveryOptionAndBadInputIsRefusedClearly)
{
    const QString program = QStringLiteral(VTA_BIN_DIR) + "/vta-devsim";
    QProcess help;
    help.start(program, {"--help"});
    ASSERT_TRUE(help.waitForFinished(10000));
    EXPECT_EQ(help.exitCode(), 0);
    const QString text = QString::fromUtf8(help.readAllStandardOutput());
    for (const char* option : {"--port", "--address", "--read-community", "--write-community", "--user", "--state-out",
                               "--state-in", "--lan", "--restart-seconds", "--tftp-port", "--tftp-timeout-ms", "--tftp-retries",
                               "--signal-strength", "--clients", "--survey-rows", "--log-rows", "--drop-percent",
                               "--drop-once", "--delay-ms", "--refuse-set", "--hang-after-set", "--verbose", "--help"})
        EXPECT_TRUE(text.contains(option)) << option;

    struct Case {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{}, "--port is required"},
        {{"--port", "70000"}, "not a whole number from 1 to 65535"},
        {{"--port", "1610", "--clients", "10001"}, "--clients"},
        {{"--port", "1610", "--user", "bob:SHA:short"}, "at least 8"},
        {{"--port", "1610", "--refuse-set", "1.3.6=20"}, "--refuse-set"},
        {{"--port", "1610", "--hang-after-set", "rogue"}, "--hang-after-set"},
        {{"--port", "1610", "--drop-once", "leases"}, "--drop-once"},
        {{"--port", "1610", "--frobnicate", "1"}, "unknown option"},
        {{"--port", "1610", "--address", "localhost"}, "not an IPv4 address"},
        {{"--port", "1610", "--lan", "10.0.0.7"}, "--lan wants ADDRESS/MASK"},
        {{"--port", "1610", "--lan", "10.0.0.7/255.0.255.0"}, "not a usable address"},
        {{"--port", "1610", "--state-in", "/nonexistent/state.json"}, "cannot read"},
    };
    for (const Case& c : cases) {
        QProcess run;
        run.start(program, c.arguments);
        ASSERT_TRUE(run.waitForFinished(10000));
        EXPECT_EQ(run.exitCode(), 2) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(run.readAllStandardError()).contains(c.message)) << c.message;
    }
}

}  // namespace
