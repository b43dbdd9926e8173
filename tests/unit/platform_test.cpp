#include "support/AnotherUser.h"
#include "platform/Conversion.h"
#include "platform/HostRegistry.h"
#include "platform/LocalInterfaces.h"
#include "platform/QvIni.h"
#include "platform/TimeScale.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <arpa/inet.h>
#include <fstream>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sstream>
#include <sys/stat.h>

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

namespace {

std::string readText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

const char* const kHelpPath = "\\SOFTWARE\\Corvane\\Modules\\HelpPath";

// The host's file as a person keeps it: comments, blank lines, spacing around "=".
const std::string kHostsFile =
    "; written by the host's installer\n"
    "[SOFTWARE\\Corvane\\Orvant5.1\\ExePath]\n"
    "Path = /opt/orvant/bin/\n"
    "\n"
    "# the MIB folder\n"
    "[SOFTWARE\\Corvane\\Orvant5.1\\MibFile]\n"
    "Path=/srv/mbf/";  // no line break at the end

TEST(HostRegistryFile, AMissingKeyIsAppendedAndTheRestStaysAsItWas)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("registry.ini").toStdString();
    std::ofstream(path, std::ios::binary) << kHostsFile;
    HostRegistry registry(path);
    EXPECT_TRUE(registry.createKey(kHelpPath));
    EXPECT_EQ(readText(path), kHostsFile + "\n[SOFTWARE\\Corvane\\Modules\\HelpPath]\n");
    EXPECT_TRUE(registry.createKey(kHelpPath));  // present now: nothing more is written
    EXPECT_TRUE(registry.writeValue(kHelpPath, "1.3.6.1.4.1.32473.10.37.24", "/opt/m/VTA3100.help"));
    EXPECT_TRUE(registry.writeValue("\\SOFTWARE\\Corvane\\Orvant5.1\\ExePath", "path", "/opt/new/"));
    EXPECT_EQ(readText(path), "; written by the host's installer\n"
                              "[SOFTWARE\\Corvane\\Orvant5.1\\ExePath]\n"
                              "path=/opt/new/\n"
                              "\n"
                              "# the MIB folder\n"
                              "[SOFTWARE\\Corvane\\Orvant5.1\\MibFile]\n"
                              "Path=/srv/mbf/\n"
                              "[SOFTWARE\\Corvane\\Modules\\HelpPath]\n"
                              "1.3.6.1.4.1.32473.10.37.24=/opt/m/VTA3100.help\n");
}

// Whatever the module cannot read and parse, it leaves alone, and leaves nothing beside it.
TEST(HostRegistryFile, AFileThatCannotBeReadOrParsedIsNeverWritten)
{
    struct Case {
        const char* name;
        std::string content;
    };
    for (const Case& c : {Case{"a line of another format", kHostsFile + "\nthis is not a registry line\n"},
                          Case{"a value before any key", "Path=/x/\n[A]\n"},
                          Case{"binary bytes", std::string("[A]\nx=\0\1\2", 9)}}) {
        SCOPED_TRACE(c.name);
        QTemporaryDir folder;
        const std::string path = folder.filePath("registry.ini").toStdString();
        std::ofstream(path, std::ios::binary) << c.content;
        EXPECT_FALSE(HostRegistry(path).createKey(kHelpPath));
        EXPECT_EQ(readText(path), c.content);
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"registry.ini"});
    }

    // A folder where the file should be.
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir("registry.ini"));
    EXPECT_FALSE(HostRegistry(folder.filePath("registry.ini").toStdString()).createKey(kHelpPath));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"registry.ini"});

    // A home that is not there: no folder tree is made for it.
    const QString nowhere = folder.filePath("nowhere");
    EXPECT_FALSE(HostRegistry((nowhere + "/.config/vta-module/host-registry.ini").toStdString()).createKey(kHelpPath));
    EXPECT_FALSE(QFileInfo::exists(nowhere));
}

// A registry this user may not read (mode 000, or another user's) keeps the host's keys.
TEST(HostRegistryFile, AnUnreadableFileKeepsTheHostsKeys)
{
    QTemporaryDir folder;
    ::chmod(folder.path().toLocal8Bit().constData(), 0777);  // the other user may write beside it
    const std::string path = folder.filePath("registry.ini").toStdString();
    std::ofstream(path, std::ios::binary) << kHostsFile;
    ::chmod(path.c_str(), 0);
    const auto attempt = [&] {
        HostRegistry registry(path);
        return !registry.createKey(kHelpPath) && !registry.keyExists(kHelpPath) ? 0 : 1;
    };
    if (another_user::available())
        EXPECT_EQ(another_user::run(attempt), 0);
    else
        EXPECT_EQ(attempt(), 0);
    ::chmod(path.c_str(), 0644);
    EXPECT_EQ(readText(path), kHostsFile);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"registry.ini"});
}

// Modules started together each add their key: none is lost to another's write.
TEST(HostRegistryFile, KeysAddedAtTheSameTimeAreAllKept)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("registry.ini").toStdString();
    std::ofstream(path, std::ios::binary) << kHostsFile;
    constexpr int kWriters = 6;
    constexpr int kKeys = 20;
    std::vector<pid_t> children;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int failures = 0;
            for (int key = 0; key < kKeys; ++key)
                failures += HostRegistry(path).createKey("SOFTWARE\\W" + std::to_string(writer) + "\\K" + std::to_string(key)) ? 0 : 1;
            ::_exit(failures);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const HostRegistry registry(path);
    for (int writer = 0; writer < kWriters; ++writer)
        for (int key = 0; key < kKeys; ++key)
            EXPECT_TRUE(registry.keyExists("SOFTWARE\\W" + std::to_string(writer) + "\\K" + std::to_string(key)));
    EXPECT_EQ(registry.readValue("SOFTWARE\\Corvane\\Orvant5.1\\MibFile", "Path").value_or("?"), "/srv/mbf/");
}

} // namespace
