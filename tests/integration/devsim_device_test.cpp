// vta-devsim's behaviour as a device: TFTP transfers, restart effects, factory reset,
// commands that fill tables, state files, lamps and the fault knobs. Exchanges go through
// the module's own SNMP session so error statuses arrive as numbers.
#include "support/DevsimAgent.h"
#include "support/TftpdServer.h"
#include "support/FileContents.h"
#include "support/FreePort.h"
#include "snmp/SnmpSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QThread>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const std::string kPrivate = "1.3.6.1.4.1.32473.10.37.24";

SnmpVarBind Vb(const std::string& oid)
{
    SnmpVarBind vb;
    EXPECT_TRUE(ParseOid(oid, vb.oid)) << oid;
    return vb;
}

SnmpVarBind Integer(const std::string& oid, int64_t value)
{
    SnmpVarBind vb = Vb(oid);
    vb.type = SnmpType::Integer;
    vb.integer = value;
    return vb;
}

SnmpVarBind Text(const std::string& oid, const std::string& value)
{
    SnmpVarBind vb = Vb(oid);
    vb.type = SnmpType::OctetString;
    vb.bytes = value;
    return vb;
}

SnmpVarBind Address(const std::string& oid, uint8_t a, uint8_t b, uint8_t c, uint8_t d)
{
    SnmpVarBind vb = Vb(oid);
    vb.type = SnmpType::IpAddress;
    vb.bytes = {static_cast<char>(a), static_cast<char>(b), static_cast<char>(c), static_cast<char>(d)};
    return vb;
}

class DevsimDevice : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(SnmpSession::global().open()); }

    bool startAgent(const QStringList& arguments)
    {
        agent = std::make_unique<DevsimAgent>(arguments);
        const bool started = agent->start();
        EXPECT_TRUE(started) << agent->error();
        return started;
    }
    SnmpTarget target(int timeout = 100, int retries = 1) const
    {
        SnmpTarget t;
        t.address = "127.0.0.1";
        t.port = agent->port();
        t.version = 1;
        t.readCommunity = "public";
        t.writeCommunity = "private";
        t.timeout = timeout;
        t.retries = retries;
        return t;
    }
    SnmpResponse set(const std::vector<SnmpVarBind>& vbs, int timeout = 100)
    {
        return SnmpSession::global().request(target(timeout, 0), PduKind::Set, vbs);
    }
    SnmpResponse get(const std::string& oid, int timeout = 100)
    {
        return SnmpSession::global().request(target(timeout, 0), PduKind::Get, {Vb(oid)});
    }
    QString value(const std::string& oid) { return agent->value(QString::fromStdString(oid)); }
    int rowsUnder(const std::string& prefix)
    {
        int rows = 0;
        const QJsonObject state = agent->state();
        for (auto it = state.begin(); it != state.end(); ++it)
            rows += it.key().startsWith(QString::fromStdString(prefix) + ".");
        return rows;
    }
    // Restarts the device and waits until it answers again.
    void restart()
    {
        ASSERT_EQ(set({Integer(kPrivate + ".3.2.1.0", 1)}).status, 0);
        QElapsedTimer clock;
        clock.start();
        QThread::msleep(50);
        while (clock.elapsed() < 10000 && get("1.3.6.1.2.1.1.3.0", 20).status != 0) {
        }
    }
    // Points the device at the TFTP server and runs one transfer command.
    SnmpResponse transfer(int command, const std::string& remote, const std::string& local = {})
    {
        EXPECT_EQ(set({Address(kPrivate + ".3.3.1.0", 127, 0, 0, 1), Text(kPrivate + ".3.3.2.0", remote),
                       Text(kPrivate + ".3.3.3.0", local)})
                      .status,
                  0);
        return set({Integer(kPrivate + ".3.3.5.0", command)}, 3000);
    }

    std::unique_ptr<DevsimAgent> agent;
};

TEST_F(DevsimDevice, FirmwareCommandFetchesTheImageAndRefusesAnOlderOne)
{
    TftpdServer tftp;
    std::string error;
    ASSERT_TRUE(tftp.start(error)) << error;
    ASSERT_TRUE(startAgent({"--tftp-port", QString::number(tftp.port()), "--restart-seconds", "0"}));
    const std::string firmware = kPrivate + ".4.1.1.1.0";
    tftp.put("vta_new.tfp", "VTA-3100QX FW 2.10\n" + QByteArray(5000, '\x5a'));  // ten blocks
    tftp.put("vta_old.tfp", "VTA-3100QX FW 1.50\n" + QByteArray(512, '\x5a'));

    EXPECT_EQ(transfer(1, "vta_old.tfp").status, 19);
    EXPECT_EQ(transfer(1, "missing.tfp").status, 5);  // the server's error ends the transfer
    // Exactly two blocks: the transfer ends with an empty third block.
    QByteArray even = "VTA-3100QX FW 2.07\n";
    even.append(QByteArray(1024 - even.size(), '\x33'));
    tftp.put("vta_even.tfp", even);
    EXPECT_EQ(transfer(1, "vta_even.tfp").status, 0);
    EXPECT_EQ(transfer(1, "vta_new.tfp").status, 0);
    EXPECT_EQ(value(firmware), "2.05") << "the new image runs only after a restart";
    restart();
    EXPECT_EQ(value(firmware), "2.10");
    EXPECT_EQ(transfer(1, "vta_old.tfp").status, 19);
}

TEST_F(DevsimDevice, TheAgentKeepsAnsweringWhileATransferRuns)
{
    // Nothing listens on the TFTP port: the transfer ends by time-out after 3 x 400 ms.
    ASSERT_TRUE(startAgent({"--tftp-port", QString::number(FreeUdpPort()), "--tftp-timeout-ms", "400",
                            "--tftp-retries", "2"}));
    ASSERT_EQ(set({Address(kPrivate + ".3.3.1.0", 127, 0, 0, 1), Text(kPrivate + ".3.3.2.0", "vta.tfp")}).status, 0);

    SnmpSession& session = SnmpSession::global();
    std::optional<SnmpResponse> answer;
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(session.send(target(1000, 0), PduKind::Set, {Integer(kPrivate + ".3.3.5.0", 1)},
                           [&](const SnmpResponse& response) { answer = response; }),
              0);
    session.waitForEvents(100);
    const SnmpResponse meanwhile = get("1.3.6.1.2.1.1.5.0", 50);
    EXPECT_EQ(meanwhile.status, 0) << "a get was not answered during the transfer";
    EXPECT_FALSE(answer.has_value()) << "the command was answered before its transfer ended";
    while (!answer && clock.elapsed() < 8000)
        session.waitForEvents(50);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->status, 5);  // genErr: the server never answered
    EXPECT_GE(clock.elapsed(), 1000);
}

TEST_F(DevsimDevice, ConfigurationPutStoresAFileThatGetLoadsBack)
{
    TftpdServer tftp;
    std::string error;
    ASSERT_TRUE(tftp.start(error)) << error;
    ASSERT_TRUE(startAgent({"--tftp-port", QString::number(tftp.port())}));
    const std::string name = "1.3.6.1.2.1.1.5.0";
    ASSERT_EQ(set({Text(name, "saved-name")}).status, 0);

    ASSERT_EQ(transfer(3, {}, "ap.cfg").status, 0);
    QFile stored(tftp.path("ap.cfg"));
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    const QJsonObject file = QJsonDocument::fromJson(stored.readAll()).object();
    EXPECT_EQ(file.value("model").toString(), "VTA-3100QX");
    EXPECT_EQ(file.value("variables").toObject().value(QString::fromStdString(name)).toObject().value("value"),
              "saved-name");
    EXPECT_FALSE(file.value("variables").toObject().contains("1.3.6.1.2.1.1.3.0")) << "status is not configuration";

    // Each store shows the values of that moment, however they were changed in between.
    ASSERT_EQ(set({Text(name, "changed")}).status, 0);
    ASSERT_EQ(transfer(3, {}, "changed.cfg").status, 0);
    EXPECT_EQ(FileContents(tftp.path("changed.cfg")),
              FileContents(tftp.path("ap.cfg")).replace("\"saved-name\"", "\"changed\""));
    tftp.put("broken.cfg", "{ not json");
    EXPECT_EQ(transfer(2, "broken.cfg").status, 10);  // wrongValue: not a configuration
    EXPECT_EQ(value(name), "changed");
    EXPECT_EQ(transfer(2, "ap.cfg").status, 0);
    EXPECT_EQ(value(name), "saved-name");
    ASSERT_EQ(transfer(3, {}, "loaded.cfg").status, 0);
    EXPECT_EQ(FileContents(tftp.path("loaded.cfg")), FileContents(tftp.path("ap.cfg")));
}

TEST_F(DevsimDevice, FactoryResetRestoresEverySetting)
{
    ASSERT_TRUE(startAgent({}));
    const std::string ssid = kPrivate + ".1.1.1.1.1";
    const std::string leaseIp = kPrivate + ".2.7.3.1.2.1";
    ASSERT_EQ(set({Text(ssid, "Changed"), Text("1.3.6.1.2.1.1.5.0", "renamed"),
                   Address(leaseIp, 192, 168, 0, 20), Integer(kPrivate + ".2.3.1.6.1", 500)})
                  .status,
              0);
    ASSERT_EQ(set({Integer(kPrivate + ".3.2.2.0", 1)}).status, 0);
    EXPECT_EQ(value(ssid), "VTA3100QX");
    EXPECT_EQ(value("1.3.6.1.2.1.1.5.0"), "VTA-3100QX");
    EXPECT_EQ(value(leaseIp), "0.0.0.0");
    EXPECT_EQ(value(kPrivate + ".2.3.1.6.1"), "100");
    EXPECT_EQ(value(kPrivate + ".1.2.2.0"), "192.168.0.50");
}

TEST_F(DevsimDevice, AStateFileStartsASecondDeviceWhereTheFirstStood)
{
    ASSERT_TRUE(startAgent({}));
    ASSERT_EQ(set({Text(kPrivate + ".1.1.1.1.1", "Carried"), Integer(kPrivate + ".2.1.1.1.1", 3)}).status, 0);
    // The multi-SSID page's master SSID and authentication are the radio's own.
    EXPECT_EQ(value(kPrivate + ".2.9.1.1.1.1"), "Carried");
    EXPECT_EQ(get(kPrivate + ".2.9.1.1.1.1").vbs.at(0).bytes, "Carried");
    ASSERT_EQ(set({Integer(kPrivate + ".2.9.1.1.2.1", 6)}).status, 0);
    EXPECT_EQ(value(kPrivate + ".2.5.1.1.1.1"), "6");
    QTemporaryDir folder;
    const QString saved = folder.filePath("saved.json");
    ASSERT_TRUE(QFile::copy(agent->stateFile(), saved));

    ASSERT_TRUE(startAgent({"--state-in", saved}));
    EXPECT_EQ(get(kPrivate + ".1.1.1.1.1").vbs.at(0).bytes, "Carried");
    EXPECT_EQ(get(kPrivate + ".2.1.1.1.1").vbs.at(0).integer, 3);
}

TEST_F(DevsimDevice, LampsFollowTheRunningRadiosAndTheirStations)
{
    struct Case {
        QStringList arguments;
        int lampsAtStart;
    } cases[] = {
        {{}, 1 + 4 + 16 + 32},                  // power, LAN, radio 1 lit and blinking (stations)
        {{"--clients", "0"}, 1 + 4 + 16},       // no stations: radio 1 steady
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(startAgent(c.arguments + QStringList{"--restart-seconds", "0"}));
        EXPECT_EQ(get(kPrivate + ".4.4.0").vbs.at(0).integer, c.lampsAtStart) << c.arguments.join(' ').toStdString();
    }
    // Switching radio 1 off takes effect with the restart; switching radio 2 on lights its lamp.
    ASSERT_EQ(set({Integer(kPrivate + ".2.3.1.12.1", 0), Integer(kPrivate + ".2.3.1.12.2", 1)}).status, 0);
    EXPECT_EQ(get(kPrivate + ".4.4.0").vbs.at(0).integer, 1 + 4 + 16);
    restart();
    EXPECT_EQ(get(kPrivate + ".4.4.0").vbs.at(0).integer, 1 + 4 + 64);
}

TEST_F(DevsimDevice, CommandsFillTheirTables)
{
    ASSERT_TRUE(startAgent({"--survey-rows", "4", "--clients", "2", "--log-rows", "3"}));
    ASSERT_EQ(set({Integer(kPrivate + ".2.8.1.1.1.0", 1)}).status, 0);  // site survey, radio 1
    EXPECT_EQ(rowsUnder(kPrivate + ".2.8.2.1.7.1"), 4);
    ASSERT_EQ(set({Integer(kPrivate + ".4.5.1.1.1.1", 1)}).status, 0);  // acquire clients
    EXPECT_EQ(rowsUnder(kPrivate + ".4.5.2.1.2.1"), 2);
    ASSERT_EQ(set({Integer(kPrivate + ".2.7.4.3.1.0", 1)}).status, 0);  // DHCP dynamic mapping
    EXPECT_EQ(rowsUnder(kPrivate + ".2.7.4.1.1.3"), 2);
    EXPECT_EQ(value(kPrivate + ".2.7.4.1.1.3.1"), "192.168.0.100");

    ASSERT_EQ(set({Integer(kPrivate + ".2.11.11.1.0", 1)}).status, 0);  // get log
    EXPECT_GE(rowsUnder(kPrivate + ".2.11.12.1.3"), 4);
    ASSERT_EQ(set({Integer(kPrivate + ".2.11.10.0", 1)}).status, 0);  // clear log
    EXPECT_EQ(rowsUnder(kPrivate + ".2.11.12.1.3"), 0);

    // Rogue detection over 11g only, then the first finding moves to the AP list.
    ASSERT_EQ(set({Integer(kPrivate + ".2.10.2.0", 8), Integer(kPrivate + ".2.10.4.1.1.0", 1)}).status, 0);
    const int found = rowsUnder(kPrivate + ".2.10.4.1.4.1.7");
    ASSERT_GT(found, 0);
    for (int row = 1; row <= found; ++row)
        EXPECT_EQ(value(kPrivate + ".2.10.4.1.4.1.7." + std::to_string(row)), "3");  // mode g
    ASSERT_EQ(set({Integer(kPrivate + ".2.10.4.1.2.0", 1)}).status, 0);
    EXPECT_EQ(rowsUnder(kPrivate + ".2.10.4.1.4.1.7"), found - 1);
    EXPECT_EQ(rowsUnder(kPrivate + ".2.10.4.2.2.1.7"), 1);
    EXPECT_EQ(set({Integer(kPrivate + ".2.10.4.2.1.0", 99)}).status, 12);  // inconsistentValue: no row 99
}

TEST_F(DevsimDevice, TrafficRateDrivesRadioOnesCountersAndTheyWrap)
{
    const std::string transmitted = kPrivate + ".4.3.1.1.7.1", received = kPrivate + ".4.3.1.1.12.1";
    const auto counters = [&] {
        const SnmpResponse answer = SnmpSession::global().request(
            target(), PduKind::Get, {Vb("1.3.6.1.2.1.1.3.0"), Vb(transmitted), Vb(received), Vb(kPrivate + ".4.3.1.1.7.2")});
        EXPECT_EQ(answer.status, 0);
        std::vector<double> values;
        for (const SnmpVarBind& vb : answer.vbs)
            values.push_back(static_cast<double>(vb.integer));
        return values;
    };
    ASSERT_TRUE(startAgent({"--traffic-rate", "200000", "--restart-seconds", "0"}));
    // Radio 2 on, so its counters run at the default rate beside radio 1's.
    ASSERT_EQ(set({Integer(kPrivate + ".2.3.1.12.2", 1)}).status, 0);
    restart();
    const std::vector<double> first = counters();
    QThread::msleep(600);
    const std::vector<double> second = counters();
    const double seconds = (second[0] - first[0]) / 100;  // up time in hundredths
    ASSERT_GT(seconds, 0.3);
    EXPECT_NEAR((second[1] - first[1]) / seconds, 200000, 200000 * 0.05) << "transmitted frames per second";
    EXPECT_NEAR((second[2] - first[2]) / seconds, 250000, 250000 * 0.05) << "received: a quarter more";
    EXPECT_NEAR((second[3] - first[3]) / seconds, 120, 120 * 0.2) << "radio 2 keeps the default rate";

    ASSERT_TRUE(startAgent({"--traffic-rate", "0"}));
    QThread::msleep(300);
    EXPECT_EQ(counters()[1], 0) << "a rate of 0 stops radio 1's counters";

    // Just below 2^32, a high rate carries the counter over the top within a fraction of a second.
    QTemporaryDir folder;
    const QString nearTop = WriteDeviceState(folder.filePath("near-top.json"),
                                             {{QString::fromStdString(transmitted),
                                               QJsonObject{{"type", "counter32"}, {"value", 4294967295.0 - 20000}}}});
    ASSERT_TRUE(startAgent({"--traffic-rate", "1000000", "--state-in", nearTop}));
    QThread::msleep(200);
    EXPECT_LT(counters()[1], 4294967295.0 - 20000) << "wrapped at 2^32";
}

TEST_F(DevsimDevice, FaultKnobsDropDelayAndRefuse)
{
    ASSERT_TRUE(startAgent({"--drop-percent", "100"}));
    EXPECT_EQ(get("1.3.6.1.2.1.1.5.0", 30).status, kStatusTimeout);

    ASSERT_TRUE(startAgent({"--delay-ms", "600"}));
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(get("1.3.6.1.2.1.1.5.0", 300).status, 0);
    EXPECT_GE(clock.elapsed(), 600);

    ASSERT_TRUE(startAgent({"--refuse-set", QString::fromStdString(kPrivate) + ".1.1.1.1.1=13"}));
    EXPECT_EQ(set({Text(kPrivate + ".1.1.1.1.1", "x")}).status, 13);
    EXPECT_EQ(set({Text("1.3.6.1.2.1.1.5.0", "x")}).status, 0);

    // The command is answered, then nothing is.
    ASSERT_TRUE(startAgent({"--hang-after-set", QString::fromStdString(kPrivate) + ".2.10.4.1.1.0"}));
    EXPECT_EQ(set({Text("1.3.6.1.2.1.1.5.0", "x")}).status, 0);
    EXPECT_EQ(set({Integer(kPrivate + ".2.10.4.1.1.0", 1)}).status, 0);
    EXPECT_EQ(get("1.3.6.1.2.1.1.5.0", 30).status, kStatusTimeout);
}

TEST_F(DevsimDevice, SignalStrengthIsServedOnlyWhenAsked)
{
    const std::string rssi = "1.3.6.1.4.1.32473.10.37.14.4.6.2.1.1.1";
    ASSERT_TRUE(startAgent({}));
    EXPECT_EQ(get(rssi).vbs.at(0).type, SnmpType::NoSuchObject);
    ASSERT_TRUE(startAgent({"--signal-strength", "70"}));
    EXPECT_EQ(get(rssi).vbs.at(0).integer, 70);
    // The extra subtree does not hide the private one from a walk that starts before both.
    const SnmpResponse next = SnmpSession::global().request(target(), PduKind::GetNext, {Vb("1.3.6.1.4.1.32473.10.37.20")});
    ASSERT_EQ(next.status, 0);
    EXPECT_EQ(OidToText(next.vbs.at(0).oid), kPrivate + ".1.1.1.1.1");
}

}  // namespace
