#include "platform/Conversion.h"
#include "platform/HostRegistry.h"
#include "platform/LocalInterfaces.h"
#include "platform/QvIni.h"
#include "platform/TimeScale.h"

#include <QTemporaryDir>
#include <algorithm>
#include <arpa/inet.h>
#include <fstream>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace {

struct IntegerCase {
    const char* text;
    bool valid;
    int value;
};

class StrToIntTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(StrToIntTest, ConvertsLikeTheHostPlatform)
{
    const IntegerCase& c = GetParam();
    if (c.valid) {
        EXPECT_EQ(StrToInt(c.text), c.value);
    } else {
        try {
            StrToInt(c.text);
            FAIL() << "accepted " << c.text;
        } catch (const ConversionError& error) {
            EXPECT_EQ(std::string(error.what()), std::string("'") + c.text + "' is not a valid integer value");
        }
    }
    EXPECT_EQ(StrToIntDef(c.text, -77), c.valid ? c.value : -77);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrToIntTest,
    ::testing::Values(IntegerCase{"0", true, 0}, IntegerCase{"161", true, 161}, IntegerCase{"-12", true, -12},
                      IntegerCase{"+7", true, 7}, IntegerCase{"  42", true, 42}, IntegerCase{"$1F", true, 31},
                      IntegerCase{"0x10", true, 16}, IntegerCase{"$FFFFFFFF", true, -1},
                      IntegerCase{"2147483647", true, 2147483647}, IntegerCase{"-2147483648", true, INT32_MIN},
                      IntegerCase{"2147483648", false, 0}, IntegerCase{"", false, 0}, IntegerCase{" ", false, 0},
                      IntegerCase{"12 ", false, 0}, IntegerCase{"1a", false, 0}, IntegerCase{"-", false, 0},
                      IntegerCase{"three", false, 0}, IntegerCase{"99999999999", false, 0}));

TEST(QvIniReadText, ProfileSemantics)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("ap.cfg").toStdString();
    std::ofstream(path) << "; comment\n"
                           "[Other]\nKey=other\n"
                           "[ Program Information ]\n"
                           "  AgentPort =  1161  \n"
                           "Empty=\n"
                           "Quoted=\" spaced value \"\n"
                           "Control=\x01\x02text\x03\n"
                           "Key=first\nKey=second\n";
    const QvIni ini(path);
    EXPECT_EQ(ini.ReadText("program information", "agentport", ""), "1161");
    EXPECT_EQ(ini.ReadText("Program Information", "Empty", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadText("Program Information", "Missing", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadText("Missing Section", "AgentPort", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadText("Program Information", "Quoted", ""), "spaced value");
    EXPECT_EQ(ini.ReadText("Program Information", "Control", ""), "text");
    EXPECT_EQ(ini.ReadText("Program Information", "Key", ""), "first");
    EXPECT_EQ(QvIni(folder.filePath("none.cfg").toStdString()).ReadText("A", "B", "dflt"), "dflt");

    // Nothing is cached: a change is seen at the next read.
    std::ofstream(path) << "[Program Information]\nAgentPort=2000\n";
    EXPECT_EQ(ini.ReadText("Program Information", "AgentPort", ""), "2000");
}

TEST(HostRegistryFile, KeysAndValuesSurviveARoundTrip)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("sub/registry.ini").toStdString();
    {
        HostRegistry registry(path);
        EXPECT_FALSE(registry.keyExists("\\SOFTWARE\\A"));
        EXPECT_TRUE(registry.createKey("\\SOFTWARE\\A"));
        EXPECT_TRUE(registry.writeValue("\\SOFTWARE\\B", "Path", "C:=odd value"));
        EXPECT_TRUE(registry.writeValue("\\SOFTWARE\\B", "Path", "/opt/x/"));
    }
    const HostRegistry reread(path);
    EXPECT_TRUE(reread.keyExists("software\\a"));
    EXPECT_FALSE(reread.readValue("\\SOFTWARE\\A", "Path").has_value());
    EXPECT_EQ(reread.readValue("\\SOFTWARE\\B", "path").value_or("?"), "/opt/x/");
}

TEST(LocalInterfaceList, ListsAtMostTenIPv4InterfacesWithTheirFlags)
{
    // Twelve IPv4 interfaces and one of another family.
    std::vector<ifaddrs> entries(13);
    std::vector<sockaddr_in> addresses(13), masks(13);
    for (size_t i = 0; i < entries.size(); ++i) {
        addresses[i].sin_family = masks[i].sin_family = i == 0 ? AF_INET6 : AF_INET;
        inet_pton(AF_INET, ("10.0.0." + std::to_string(i)).c_str(), &addresses[i].sin_addr);
        inet_pton(AF_INET, "255.255.255.0", &masks[i].sin_addr);
        entries[i].ifa_addr = reinterpret_cast<sockaddr*>(&addresses[i]);
        entries[i].ifa_netmask = reinterpret_cast<sockaddr*>(&masks[i]);
        entries[i].ifa_flags = i == 1 ? (IFF_UP | IFF_LOOPBACK) : (IFF_UP | IFF_BROADCAST | IFF_MULTICAST);
        entries[i].ifa_next = i + 1 < entries.size() ? &entries[i + 1] : nullptr;
    }
    std::vector<LocalInterface> list;
    ASSERT_EQ(LocalInterfacesFrom(entries.data(), list), 10);
    EXPECT_EQ(list[0].address, "10.0.0.1");
    EXPECT_EQ(list[0].netmask, "255.255.255.0");
    EXPECT_TRUE(list[0].up && list[0].loopback && !list[0].broadcast);
    EXPECT_TRUE(list[1].broadcast && list[1].multicast && !list[1].pointToPoint);
    EXPECT_EQ(list[9].address, "10.0.0.10");

    // This machine's own list holds the loopback interface.
    ASSERT_GT(LocalInterfaces(list), 0);
    EXPECT_TRUE(std::any_of(list.begin(), list.end(), [](const LocalInterface& i) {
        return i.address == "127.0.0.1" && i.loopback && i.up;
    }));
}

TEST(TimeScaleFactor, ScalesEveryIntervalButNeverToZero)
{
    const double saved = TimeScale::factor();
    TimeScale::setFactor(0.01);
    EXPECT_EQ(TimeScale::scaled(1200), 12);
    EXPECT_EQ(TimeScale::scaled(20), 1);
    TimeScale::setFactor(-1);  // refused
    EXPECT_DOUBLE_EQ(TimeScale::factor(), 0.01);
    TimeScale::setFactor(saved);
}

} // namespace
