// Several simulated devices in one vta-devsim process: each answers on its own address with
// its own objects and communities, and its transfers leave from its own address.
#include "support/ChildProcess.h"
#include "support/DevsimSite.h"
#include "support/FreePort.h"

#include <QProcess>
#include <QUdpSocket>
#include <gtest/gtest.h>

namespace {

const QString kSysName = "1.3.6.1.2.1.1.5.0";
const QString kTftp = "1.3.6.1.4.1.32473.10.37.24.3.3.";

// Net-SNMP's tool with numeric OIDs, no MIB files, one short try; its output.
QString Snmp(const QString& tool, const QStringList& arguments, int* exitCode = nullptr)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MIBS", "");
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(tool, QStringList{"-On", "-v2c", "-t", "1", "-r", "0"} + arguments);
    process.waitForFinished(10000);
    if (exitCode)
        *exitCode = process.exitCode();
    return QString::fromUtf8(process.readAll());
}

TEST(DevsimSite, EachDeviceAnswersForItselfWithItsOwnCommunities)
{
    // Device 2 reads with the text device 0 writes with: it must not write with it.
    DevsimSite site({{}, {"--write-community", "secret"}, {"--read-community", "private", "--write-community", "rw2"}});
    ASSERT_TRUE(site.start()) << site.error();
    auto target = [&](size_t i) { return site.address(i) + ":" + QString::number(site.port()); };

    Snmp("snmpset", {"-c", "private", target(0), kSysName, "s", "zero"});
    EXPECT_EQ(site.value(0, kSysName), "zero");
    EXPECT_EQ(site.value(1, kSysName), "VTA-3100QX");

    int exitCode = 0;
    EXPECT_TRUE(Snmp("snmpset", {"-c", "private", target(1), kSysName, "s", "x"}, &exitCode).contains("Timeout"));
    EXPECT_NE(exitCode, 0);
    Snmp("snmpset", {"-c", "secret", target(1), kSysName, "s", "one"});
    EXPECT_EQ(site.value(1, kSysName), "one");

    EXPECT_TRUE(Snmp("snmpset", {"-c", "private", target(2), kSysName, "s", "x"}).contains("noAccess"));
    EXPECT_TRUE(Snmp("snmpget", {"-c", "private", target(2), kSysName}).contains("VTA-3100QX"));
    EXPECT_TRUE(Snmp("snmpget", {"-c", "public", target(2), kSysName}).contains("Timeout"));
    EXPECT_EQ(site.value(2, kSysName), "VTA-3100QX");
    EXPECT_EQ(site.value(0, kSysName), "zero");
}

// Each device is an SNMPv3 engine of its own: a user name may have other pass phrases and
// another level on each device, and each device holds its user to its own level.
TEST(DevsimSite, EachDeviceHasItsOwnSnmpV3Users)
{
    DevsimSite site({{"--user", "u:SHA:first-pass"}, {"--user", "u:SHA:second-pass:DES:second-priv"}});
    ASSERT_TRUE(site.start()) << site.error();
    auto get = [&](size_t device, const QStringList& security) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("MIBS", "");
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start("snmpget", QStringList{"-On", "-v3", "-u", "u", "-a", "SHA", "-t", "1", "-r", "0"} + security +
                                     QStringList{site.address(device) + ":" + QString::number(site.port()), kSysName});
        process.waitForFinished(10000);
        return QString::fromUtf8(process.readAll());
    };
    const QStringList first{"-l", "authNoPriv", "-A", "first-pass"};
    const QStringList second{"-l", "authPriv", "-A", "second-pass", "-x", "DES", "-X", "second-priv"};
    EXPECT_TRUE(get(0, first).contains("VTA-3100QX")) << get(0, first).toStdString();
    EXPECT_TRUE(get(1, first).contains("Authentication failure")) << get(1, first).toStdString();
    EXPECT_TRUE(get(1, second).contains("VTA-3100QX")) << get(1, second).toStdString();
    const QString crossed = get(0, {"-l", "authNoPriv", "-A", "second-pass"});
    EXPECT_TRUE(crossed.contains("Authentication failure")) << crossed.toStdString();
    // Device 1's user asks for privacy, whatever device 0's user of that name asks.
    const QString withoutPrivacy = get(1, {"-l", "authNoPriv", "-A", "second-pass"});
    EXPECT_TRUE(withoutPrivacy.contains("authorizationError")) << withoutPrivacy.toStdString();
}

TEST(DevsimSite, ATransferLeavesFromTheDevicesOwnAddress)
{
    QUdpSocket server;
    ASSERT_TRUE(server.bind(QHostAddress::LocalHost, 0));
    DevsimSite site({{}, {"--tftp-port", QString::number(server.localPort()), "--tftp-retries", "0"}});
    ASSERT_TRUE(site.start()) << site.error();
    const QString target = site.address(1) + ":" + QString::number(site.port());
    QProcess command;  // answered only when the transfer ends: left running
    command.start("snmpset", {"-On", "-v2c", "-c", "private", "-t", "5", "-r", "0", target, kTftp + "1.0", "a",
                              "127.0.0.1", kTftp + "3.0", "s", "mine.cfg", kTftp + "5.0", "i", "3"});
    ASSERT_TRUE(server.waitForReadyRead(5000));
    QHostAddress from;
    QByteArray request(static_cast<int>(server.pendingDatagramSize()), '\0');
    server.readDatagram(request.data(), request.size(), &from);
    EXPECT_EQ(from.toString(), site.address(1));
    EXPECT_TRUE(request.contains("mine.cfg"));
    command.kill();
    command.waitForFinished();
}

TEST(DevsimSite, ABadSiteIsRefusedWithAMessage)
{
    const QString program = QStringLiteral(VTA_BIN_DIR) + "/vta-devsim";
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{"--port", "16100", "--next-device", "--port", "16100"}, "two devices on udp:127.0.0.1:16100"},
        {{"--port", "16100", "--devices", "2", "--state-out", "s.json"}, "needs \"{address}\""},
        {{"--port", "16100", "--next-device", "--port", "x"}, "device 2: --port"},
        {{"--port", "16100", "--address", "255.255.255.255", "--devices", "2"}, "not that many addresses"},
    };
    for (const auto& c : cases) {
        ChildProcess process;
        ASSERT_TRUE(process.start(program, c.arguments));
        EXPECT_EQ(process.waitForExit(5000), 2) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(process.output().contains(c.message)) << process.output().toStdString();
    }
}

}  // namespace
