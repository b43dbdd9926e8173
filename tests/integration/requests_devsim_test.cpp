#include "support/SnmpLibrary.h"
#include "support/DevsimAgent.h"
#include "snmp/QvSNMPRequest.h"
#include "snmp/QvSNMPStartup.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Requests against the simulated access point, over its client table: two index keys, a MAC
// address column and enumerated columns shown through option lists, as the client page reads it.
namespace {

#define PRIVATE "1.3.6.1.4.1.32473.10.37.24"
#define CLIENT_ENTRY PRIVATE ".4.5.2.1"

constexpr OptionRow kBandRows[] = {{1, "11a"}, {2, "11g"}, {0, nullptr}};
constexpr OptionRow kPowerSavingRows[] = {{0, "Off"}, {1, "On"}, {0, nullptr}};
constexpr OptionRow kAcquireRows[] = {{0, "Nothing"}, {1, "acquire"}, {0, nullptr}};
const QvOptionList kBand(kBandRows);
const QvOptionList kPowerSaving(kPowerSavingRows);
const QvOptionList kAcquire(kAcquireRows);

const VariableDescriptor kClients[] = {
    {CLIENT_ENTRY ".1", "BandIndex", kSyntaxInteger, kAccessNotAccessible},
    {CLIENT_ENTRY ".1", "InfoIndex", kSyntaxInteger, kAccessNotAccessible},
    {CLIENT_ENTRY ".2", "MAC", kSyntaxMacAddress, kAccessReadOnly},
    {CLIENT_ENTRY ".3", "Band", kSyntaxInteger, kAccessReadOnly, &kBand},
    {CLIENT_ENTRY ".5", "RSSI", kSyntaxInteger, kAccessReadOnly},
    {CLIENT_ENTRY ".8", "Power Saving Mode", kSyntaxInteger, kAccessReadOnly, &kPowerSaving},
    {nullptr, nullptr, 0, 0},
};

const VariableDescriptor kAcquireItems[] = {
    {PRIVATE ".4.5.1.1.1.1", "adGetClient", kSyntaxInteger, kAccessReadWrite, &kAcquire},
    {PRIVATE ".4.5.1.1.1.2", "adGetClient", kSyntaxInteger, kAccessInvalid, &kAcquire},
    {nullptr, nullptr, 0, 0},
};

class DevsimRequest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        StartSnmpLibraryOnce();
    }

    void SetUp() override { ASSERT_TRUE(device.start()) << device.error(); }

    void aim(QvSNMPRequest& request)
    {
        request.address = "127.0.0.1";
        request.port = device.port();
        request.version = 1;
        request.readCommunity = "public";
        request.writeCommunity = "private";
    }

    // The MAC column as Net-SNMP's snmpwalk reads it: instance -> hex without blanks.
    std::map<std::string, std::string> toolMacs()
    {
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("MIBS", "");
        tool.setProcessEnvironment(environment);
        tool.start("snmpwalk", {"-v", "2c", "-c", "public", "-On", "-Oq", "-Ox",
                                "127.0.0.1:" + QString::number(device.port()), CLIENT_ENTRY ".2"});
        tool.waitForFinished(10000);
        std::map<std::string, std::string> macs;
        const QString prefix = "." CLIENT_ENTRY ".2.";
        for (const QString& line : QString::fromUtf8(tool.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
            const int blank = line.indexOf(' ');
            if (blank > 0 && line.startsWith(prefix))
                macs[line.left(blank).mid(prefix.size()).toStdString()] =
                    line.mid(blank + 1).remove(' ').remove('"').toUpper().toStdString();
        }
        return macs;
    }

    DevsimAgent device{{"--clients", "7"}};
};

TEST_F(DevsimRequest, WalksATableWithTwoKeysAndShowsOptionTexts)
{
    QvSNMPRequest request;
    aim(request);
    request.list.Assign(QvSNMPVarList(kClients, kListTableUnlisted, 2));
    std::map<std::string, std::string> macs;
    bool ok = true;
    int rows = 0;
    for (bool first = true; request.GetSync(first, ok) && rows < 100; first = false) {
        ++rows;
        const QvSNMPVarList& list = request.list;
        EXPECT_EQ(list.Item(0).value, "1");
        EXPECT_EQ(list.Item(1).value, std::to_string(rows));
        macs[list.Item(0).value + "." + list.Item(1).value] = list.Item(2).value;
        EXPECT_EQ(list.Item(3).value, "11g");
        EXPECT_EQ(list.Item(4).value, std::to_string(35 + (rows * 37) % 61));
        EXPECT_EQ(list.Item(5).value, rows % 3 == 0 ? "On" : "Off");
        EXPECT_EQ(list.Item(0).currentOid, CLIENT_ENTRY ".1.1." + std::to_string(rows));
    }
    EXPECT_TRUE(ok);
    EXPECT_EQ(rows, 7);
    EXPECT_EQ(macs, toolMacs());
}

TEST_F(DevsimRequest, SetsASingleInstanceByItsDisplayText)
{
    const QString instance = PRIVATE ".4.5.1.1.1.1";
    QvSNMPRequest request;
    aim(request);
    request.list.Assign(QvSNMPVarList(kAcquireItems, kListSingleInstances, 0));
    request.list.Item(0).value = "acquire";
    bool ok = true;
    EXPECT_FALSE(request.SetSync(ok, false, ""));
    EXPECT_TRUE(ok);
    EXPECT_EQ(device.value(instance), "1");

    // Reading back shows the display text again; the invalid item is not asked.
    EXPECT_FALSE(request.GetSync(true, ok));
    EXPECT_TRUE(ok);
    EXPECT_EQ(request.list.Item(0).value, "acquire");
    EXPECT_EQ(request.list.Item(1).value, "");
}

} // namespace
