#include "platform/HostRegistry.h"
#include "shell/DeviceConnection.h"
#include "shell/ModuleCommandLine.h"
#include "shell/ModuleConstants.h"
#include "shell/ParameterFileWriter.h"
#include "shell/RecentDevices.h"
#include "host/Startup.h"
#include "snmp/SnmpSettings.h"
#include "support/FileContents.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

std::string ReadFileContents(const std::string& path)
{
    return FileContents(QString::fromStdString(path)).toStdString();
}

int modeOf(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<int>(info.st_mode & 07777) : -1;
}

DeviceConnection v3(int level, int auth, int priv)
{
    DeviceConnection c;
    c.address = "10.0.0.7";
    c.port = 1161;
    c.version = 3;
    c.securityName = "admin";
    c.securityLevel = level;
    c.authProtocol = auth;
    c.privProtocol = priv;
    c.authPassword = "auth/pass";
    c.privPassword = "'privpass'";  // the reader strips one pair of quotes
    return c;
}

struct Reached {
    uint16_t port;
    uint8_t version;
    std::string read, write, user;
    int level, auth, priv;
    std::string authPassword, privPassword;
};

struct RoundTrip {
    const char* name;
    DeviceConnection connection;
    bool keepPassPhrases;
    Reached reached;  // the module's settings after its start-up
};

class ConnectRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

// What the dialog writes and passes is read by the module's own start-up, over a parameter
// file that an earlier SNMPv3 connection left behind.
TEST_P(ConnectRoundTrip, TheModuleStartsWithWhatTheDialogWasGiven)
{
    const RoundTrip& c = GetParam();
    ASSERT_EQ(ConnectionProblem(c.connection), "");
    QTemporaryDir folder;
    const std::string configDir = folder.path().toStdString() + "/";
    const std::string path = ParameterFilePath(configDir, c.connection.address);
    std::ofstream(path) << "[Program Information]\nVersion=3\nSecurityName=old\nSecurityLevel=2\n"
                           "AuthProtocol=1\nPrivProtocol=1\nAuthPassword=oldauthpass\nPrivPassword=oldprivpass\n";
    std::string error;
    ASSERT_TRUE(WriteParameterFile(path, ParameterFileKeys(c.connection, c.keepPassPhrases), error)) << error;

    SetDefaultSnmpSettings();
    std::string address;
    ApplyArguments(ModuleArguments(c.connection), configDir, address);
    EXPECT_EQ(address, c.connection.address);
    const Reached& r = c.reached;
    const QvSNMPSecuritySettings& s = QvSNMPSecurity;
    EXPECT_EQ(QvSNMPDevice.port, r.port);
    EXPECT_EQ(s.version, r.version);
    EXPECT_EQ(s.readCommunity, r.read);
    EXPECT_EQ(s.writeCommunity, r.write);
    EXPECT_EQ(s.securityName, r.user);
    EXPECT_EQ(s.securityLevel, r.level);
    EXPECT_EQ(s.authProtocol, r.auth);
    EXPECT_EQ(s.privProtocol, r.priv);
    EXPECT_EQ(s.authPassword, r.authPassword);
    EXPECT_EQ(s.privPassword, r.privPassword);
    const std::string written = ReadFileContents(path);
    EXPECT_EQ(written.find("oldauthpass"), std::string::npos) << written;
    EXPECT_EQ(written.find("auth/pass") != std::string::npos, c.keepPassPhrases && r.level >= kAuthNoPriv) << written;
}

DeviceConnection v2c()
{
    DeviceConnection c;
    c.address = "ap-lobby.example";
    c.port = 16100;
    c.readCommunity = "site ro";
    c.writeCommunity = "site-rw";
    return c;
}

DeviceConnection v1()
{
    DeviceConnection c = v2c();
    c.version = 0;
    c.port = 161;
    return c;
}

INSTANTIATE_TEST_SUITE_P(
    Connections, ConnectRoundTrip,
    ::testing::Values(
        RoundTrip{"SNMPv1", v1(), false, {161, 0, "site ro", "site-rw", "", 1, 1, 1, "", ""}},
        RoundTrip{"SNMPv2cOnItsOwnPort", v2c(), true, {16100, 1, "site ro", "site-rw", "", 1, 1, 1, "", ""}},
        RoundTrip{"NoAuthNoPriv", v3(0, 2, 3), true,
                  {1161, 3, "public", "private", "admin", kNoAuthNoPriv, kAuthNone, kPrivNone, "", ""}},
        RoundTrip{"AuthNoPrivMd5", v3(1, 1, 3), false,
                  {1161, 3, "public", "private", "admin", kAuthNoPriv, kAuthMD5, kPrivNone, "auth/pass", ""}},
        RoundTrip{"AuthPrivShaAes", v3(2, 2, 3), false,
                  {1161, 3, "public", "private", "admin", kAuthPriv, kAuthSHA, kPrivAES128, "auth/pass", "'privpass'"}},
        RoundTrip{"AuthPrivKept", v3(2, 4, 1), true,
                  {1161, 3, "public", "private", "admin", kAuthPriv, kAuthSHA256, kPrivDES, "auth/pass", "'privpass'"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConnectionProblem, WhatTheModuleCouldNotTakeIsRefusedWithItsReason)
{
    struct Case {
        const char* name;
        DeviceConnection connection;
        const char* says;  // part of the message
    };
    auto with = [](DeviceConnection c, auto change) { change(c); return c; };
    const DeviceConnection base = v3(2, 2, 3);
    const std::vector<Case> cases = {
        {"no address", with(base, [](auto& c) { c.address = ""; }), "address"},
        {"a path in the address", with(base, [](auto& c) { c.address = "../etc/x"; }), "address may hold only"},
        {"port 0", with(base, [](auto& c) { c.port = 0; }), "1 to 65535"},
        {"port 65536", with(base, [](auto& c) { c.port = 65536; }), "1 to 65535"},
        {"version 2", with(base, [](auto& c) { c.version = 2; }), "SNMPv1, SNMPv2c or SNMPv3"},
        {"no read community", with(v2c(), [](auto& c) { c.readCommunity = ""; }), "read community"},
        // The start-up finds the address switch anywhere in an argument.
        {"address switch in a community", with(v2c(), [](auto& c) { c.readCommunity = "a/Ib"; }), "\"/I\""},
        {"even in SNMPv3", with(base, [](auto& c) { c.writeCommunity = "x/Iy"; }), "\"/I\""},
        // "/R" is looked for before "/W" and "/n" before "/A".
        {"earlier switch in the write community", with(v2c(), [](auto& c) { c.writeCommunity = "rw/Rx"; }), "\"/R\""},
        {"earlier switch in a pass phrase", with(base, [](auto& c) { c.authPassword = "my/name123"; }), "\"/n\""},
        {"no user", with(base, [](auto& c) { c.securityName = ""; }), "user name"},
        {"blank around the user", with(base, [](auto& c) { c.securityName = "admin "; }), "blank"},
        {"line break in a pass phrase", with(base, [](auto& c) { c.privPassword = "priv\npass99"; }), "control"},
        {"short authentication pass phrase", with(base, [](auto& c) { c.authPassword = "short"; }), "8 characters"},
        {"short privacy pass phrase", with(base, [](auto& c) { c.privPassword = "short"; }), "8 characters"},
        {"unknown privacy protocol", with(base, [](auto& c) { c.privProtocol = 2; }), "privacy protocol"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NE(ConnectionProblem(c.connection).find(c.says), std::string::npos) << ConnectionProblem(c.connection);
    }
    // What a level does not use is not looked at: old text in the disabled fields does no harm.
    EXPECT_EQ(ConnectionProblem(with(v3(0, 2, 3), [](auto& c) { c.authPassword = "x"; c.privPassword = "/I"; })), "");
    EXPECT_EQ(ConnectionProblem(with(v2c(), [](auto& c) { c.authPassword = "x"; })), "");
}

// A host's parameter file may hold more than the dialog asks for: all of it stays.
TEST(ParameterFileWriter, KeepsTheHostsLinesAndOnlyItsOwnerMayReadIt)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("10.0.0.7.cfg").toStdString();
    std::ofstream(path) << "; written by the host\n[Program Information]\nContextName=ctx\nagentport = 161\n"
                           "\n[Host]\nIcon=ap.bmp\n";
    ::chmod(path.c_str(), 0644);
    std::string error;
    ASSERT_TRUE(WriteParameterFile(path, {{"AgentPort", "1161"}, {"Version", "3"}}, error)) << error;
    EXPECT_EQ(ReadFileContents(path), "; written by the host\n[Program Information]\nContextName=ctx\nAgentPort=1161\n"
                                      "Version=3\n\n[Host]\nIcon=ap.bmp\n");
    EXPECT_EQ(modeOf(path), 0600);

    // New, in a folder not yet there.
    const std::string fresh = folder.filePath("devices/10.0.0.8.cfg").toStdString();
    ASSERT_TRUE(WriteParameterFile(fresh, {{"AgentPort", "161"}}, error)) << error;
    EXPECT_EQ(ReadFileContents(fresh), "[Program Information]\nAgentPort=161\n");
    EXPECT_EQ(modeOf(fresh), 0600);
    EXPECT_EQ(modeOf(folder.filePath("devices").toStdString()), 0700);

    // What is no parameter file is left alone, and nothing is left beside it.
    const std::string binary = folder.filePath("10.0.0.9.cfg").toStdString();
    std::ofstream(binary, std::ios::binary) << std::string("\0\1\2", 3);
    ASSERT_TRUE(QDir(folder.path()).mkdir("10.0.0.10.cfg"));
    for (const std::string& refused : {binary, folder.filePath("10.0.0.10.cfg").toStdString()}) {
        SCOPED_TRACE(refused);
        error.clear();
        EXPECT_FALSE(WriteParameterFile(refused, {{"AgentPort", "161"}}, error));
        EXPECT_NE(error.find(refused), std::string::npos) << error;
    }
    EXPECT_EQ(ReadFileContents(binary), std::string("\0\1\2", 3));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"10.0.0.7.cfg", "10.0.0.9.cfg"}));
}

TEST(ParameterFileWriter, GoesWhereTheHostKeepsThemOrIntoTheModulesOwnFolder)
{
    QTemporaryDir folder;
    qputenv("XDG_CONFIG_HOME", folder.filePath("config").toLocal8Bit());
    std::string where, error;

    HostRegistry host(folder.filePath("host.ini").toStdString());
    ASSERT_TRUE(host.writeValue(kExePathKey, kPathValueName, "/opt/host/bin/"));
    ASSERT_TRUE(ParameterFileFolder(host, where, error)) << error;
    EXPECT_EQ(where, "/opt/host/bin/../Conf/MBF/");
    EXPECT_FALSE(host.keyExists(kMibFileKey));

    // Without a host the module's own folder becomes the place, for every later start too.
    HostRegistry none(folder.filePath("config/vta-module/host-registry.ini").toStdString());
    ASSERT_TRUE(QDir().mkpath(folder.filePath("config")));
    ASSERT_TRUE(ParameterFileFolder(none, where, error)) << error;
    EXPECT_EQ(where, folder.filePath("config").toStdString() + "/vta-module/devices/");
    EXPECT_EQ(DetermineConfigDir(none), where);
    qunsetenv("XDG_CONFIG_HOME");
}

TEST(RecentDevicesFile, NewestFirstOnePerAddressAndSecretsOnlyWhenAsked)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("vta-module/recent-devices.json").toStdString();
    const RecentDevices recent(path);
    EXPECT_TRUE(recent.load().empty());
    std::string error;
    DeviceConnection kept = v3(2, 2, 3);
    ASSERT_TRUE(recent.remember(kept, true, error)) << error;
    DeviceConnection unkept = v2c();
    ASSERT_TRUE(recent.remember(unkept, false, error)) << error;
    EXPECT_EQ(modeOf(path), 0600);
    const std::string text = ReadFileContents(path);
    EXPECT_NE(text.find("auth/pass"), std::string::npos);
    EXPECT_EQ(text.find("site-rw"), std::string::npos) << text;

    std::vector<RecentDevice> devices = recent.load();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].connection.address, "ap-lobby.example");
    EXPECT_FALSE(devices[0].secretsKept);
    EXPECT_EQ(devices[0].connection.port, 16100);
    EXPECT_EQ(devices[0].connection.writeCommunity, "private");  // the default, not the secret
    EXPECT_TRUE(devices[1].secretsKept);
    EXPECT_EQ(devices[1].connection.privPassword, "'privpass'");
    EXPECT_EQ(devices[1].connection.securityName, "admin");

    // The same address again: one entry, first, and no longer with its pass phrases.
    ASSERT_TRUE(recent.remember(kept, false, error));
    devices = recent.load();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].connection.address, "10.0.0.7");
    EXPECT_EQ(ReadFileContents(path).find("auth/pass"), std::string::npos);

    for (int i = 0; i < 15; ++i) {
        DeviceConnection c = v2c();
        c.address = "10.1.0." + std::to_string(i);
        ASSERT_TRUE(recent.remember(c, false, error));
    }
    devices = recent.load();
    ASSERT_EQ(devices.size(), RecentDevices::kLimit);
    EXPECT_EQ(devices.front().connection.address, "10.1.0.14");

    std::ofstream(path) << "{ not json";
    EXPECT_TRUE(recent.load().empty());
}

TEST(ModuleCommandLine, OptionsAreToldApartFromTheHostsSwitches)
{
    using Mode = ModuleCommandLine::Mode;
    struct Case {
        std::vector<std::string> arguments;
        Mode mode;
        const char* problem;
    };
    const Case cases[] = {
        {{}, Mode::Host, ""},
        {{"/I10.0.0.7", "/Rpublic"}, Mode::Host, ""},
        // Whatever holds a "/" is the host's, as the start-up always took it.
        {{"/I10.0.0.7", "--x/Rpublic", "-platform", "offscreen", "--"}, Mode::Host, ""},
        {{"--help"}, Mode::Help, ""},
        {{"/I10.0.0.7", "--version"}, Mode::Version, ""},
        {{"--connect"}, Mode::Connect, ""},
        {{"--connect", "--help"}, Mode::Help, ""},
        {{"--conect"}, Mode::Invalid, "unknown option '--conect'"},
        {{"/I10.0.0.7", "--verbose"}, Mode::Invalid, "unknown option '--verbose'"},
        {{"--connect", "/I10.0.0.7"}, Mode::Invalid, "--connect"},
    };
    for (const Case& c : cases) {
        const ModuleCommandLine read = ReadModuleCommandLine(c.arguments);
        EXPECT_EQ(read.mode, c.mode) << testing::PrintToString(c.arguments);
        EXPECT_NE(read.problem.find(c.problem), std::string::npos) << read.problem;
    }
}

} // namespace
