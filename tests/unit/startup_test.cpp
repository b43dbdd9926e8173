#include "platform/Conversion.h"
#include "snmp/ErrorCatalogue.h"
#include "platform/HostRegistry.h"
#include "shell/ModuleConstants.h"
#include "snmp/SnmpSettings.h"
#include "host/Startup.h"

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace {

struct Expected {
    std::string address;
    uint16_t port;
    uint8_t version;
    std::string read;
    std::string write;
    int level;
    int auth;
    int priv;
};

struct ArgumentCase {
    const char* name;
    std::vector<std::string> arguments;
    std::string parameterFile;  // contents of <address>.cfg, "" for none
    Expected expected;
};

class ArgumentTest : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(ArgumentTest, SettingsAfterTheCommandLine)
{
    const ArgumentCase& c = GetParam();
    QTemporaryDir folder;
    const std::string configDir = folder.path().toStdString() + "/";
    if (!c.parameterFile.empty())
        std::ofstream(ParameterFilePath(configDir, c.expected.address)) << c.parameterFile;

    SetDefaultSnmpSettings();
    std::string address;
    ApplyArguments(c.arguments, configDir, address);

    EXPECT_EQ(address, c.expected.address);
    EXPECT_EQ(QvSNMPDevice.address, c.expected.address);
    EXPECT_EQ(QvSNMPDevice.port, c.expected.port);
    EXPECT_EQ(QvSNMPSecurity.version, c.expected.version);
    EXPECT_EQ(QvSNMPSecurity.readCommunity, c.expected.read);
    EXPECT_EQ(QvSNMPSecurity.writeCommunity, c.expected.write);
    EXPECT_EQ(QvSNMPSecurity.securityLevel, c.expected.level);
    EXPECT_EQ(QvSNMPSecurity.authProtocol, c.expected.auth);
    EXPECT_EQ(QvSNMPSecurity.privProtocol, c.expected.priv);
}

const char* kV3File = "[Program Information]\nVersion=3\n";

INSTANTIATE_TEST_SUITE_P(
    CommandLine, ArgumentTest,
    ::testing::Values(
        ArgumentCase{"Plain", {"/I10.0.0.7", "/Rpublic", "/Wprivate"}, "",
                     {"10.0.0.7", 161, 0, "public", "private", 1, 1, 1}},
        ArgumentCase{"VersionThenPort", {"/I10.0.0.7", "/v3", "/t1161"}, "",
                     {"10.0.0.7", 1161, 3, "public", "private", 1, 1, 1}},
        // Port is an SNMPv3 switch: before "/v3" it is not looked for.
        ArgumentCase{"PortThenVersion", {"/I10.0.0.7", "/t1161", "/v3"}, "",
                     {"10.0.0.7", 161, 3, "public", "private", 1, 1, 1}},
        ArgumentCase{"FileEnablesV3Switches", {"/I10.0.0.8", "/t1161", "/l2", "/a2", "/p1"}, kV3File,
                     {"10.0.0.8", 1161, 3, "public", "private", 3, 3, 2}},
        ArgumentCase{"LevelZeroIsNoAuthNoPriv", {"/I10.0.0.8", "/l0", "/a0", "/p0"}, kV3File,
                     {"10.0.0.8", 161, 3, "public", "private", 1, 1, 1}},
        ArgumentCase{"FileLevels", {"/I10.0.0.8", "/Rr"},
                     "[Program Information]\nVersion=3\nSecurityLevel=2\nAuthProtocol=1\nPrivProtocol=0\n",
                     {"10.0.0.8", 161, 3, "r", "private", 3, 2, 1}},
        ArgumentCase{"FileZerosLeaveSettings", {"/I10.0.0.8", "/l2", "/Rr"},
                     "[Program Information]\nVersion=3\nSecurityLevel=0\nAuthProtocol=0\n",
                     {"10.0.0.8", 161, 3, "r", "private", 3, 1, 1}},
        // The address switch is found anywhere in an argument.
        ArgumentCase{"AddressBySubstring", {"xx/I10.0.0.9", "-/Rcomm"}, "",
                     {"10.0.0.9", 161, 0, "comm", "private", 1, 1, 1}},
        // Only the first switch in table order is applied: "/R" before "/W".
        ArgumentCase{"FirstSwitchInTableOrder", {"/I1.2.3.4", "/Wwrite/Rread"}, "",
                     {"1.2.3.4", 161, 0, "read", "private", 1, 1, 1}},
        // The file is read again before every argument: it overrides an earlier switch, and a
        // later switch overrides it.
        ArgumentCase{"FileBetweenSwitches", {"/I10.0.0.5", "/v1", "/Wmine"},
                     "[Program Information]\nAgentPort=1161\nVersion=0\n",
                     {"10.0.0.5", 1161, 0, "public", "mine", 1, 1, 1}},
        ArgumentCase{"SwitchAfterFile", {"/I10.0.0.5", "/Wmine", "/v1"},
                     "[Program Information]\nVersion=0\n",
                     {"10.0.0.5", 161, 1, "public", "mine", 1, 1, 1}},
        // No Version key in the file: the switches alone decide.
        ArgumentCase{"FileWithoutVersion", {"/I10.0.0.6", "/v3", "/t1000"},
                     "[Program Information]\nSecurityName = admin \n",
                     {"10.0.0.6", 1000, 3, "public", "private", 1, 1, 1}},
        // Beyond the host's 0..2: the protocol codes of the stronger algorithms pass through.
        ArgumentCase{"StrongerProtocols", {"/I10.0.0.6", "/v3", "/a4", "/p3"}, "",
                     {"10.0.0.6", 161, 3, "public", "private", 1, 5, 4}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartupArguments, ParameterFileTextsAndV3Credentials)
{
    QTemporaryDir folder;
    const std::string configDir = folder.path().toStdString() + "/";
    std::ofstream(ParameterFilePath(configDir, "ap1")) << "[program information]\n"
                                                          "version = 3\n"
                                                          "ContextName=ctx\n"
                                                          "ContextEngineID=\n"
                                                          "SecurityName=  admin  \n"
                                                          "AuthPassword=\n"
                                                          "PrivPassword=\"secret phrase\"\n";
    SetDefaultSnmpSettings();
    QvSNMPScope.contextEngineId = "before";
    QvSNMPSecurity.authPassword = "kept";
    std::string address;
    ApplyArguments({"/Iap1", "/nfromswitch"}, configDir, address);
    EXPECT_EQ(QvSNMPScope.contextName, "ctx");
    EXPECT_EQ(QvSNMPScope.contextEngineId, "");  // always set, also when empty
    EXPECT_EQ(QvSNMPSecurity.securityName, "fromswitch");
    EXPECT_EQ(QvSNMPSecurity.authPassword, "kept");  // only when not empty
    EXPECT_EQ(QvSNMPSecurity.privPassword, "secret phrase");
}

TEST(StartupArguments, GetBulkKeyTurnsBulkWalksOffForTheDevice)
{
    QTemporaryDir folder;
    const std::string configDir = folder.path().toStdString() + "/";
    for (const auto& [file, expected] : std::vector<std::pair<std::string, bool>>{
             {"[Program Information]\nVersion=1\n", true},
             {"[Program Information]\nGetBulk=0\n", false},
             {"[Program Information]\nGetBulk=1\n", true},
             {"[Program Information]\nGetBulk=\n", true}}) {
        std::ofstream(ParameterFilePath(configDir, "ap2")) << file;
        SetDefaultSnmpSettings();
        std::string address;
        ApplyArguments({"/Iap2", "/Rpublic"}, configDir, address);
        EXPECT_EQ(QvSNMPDevice.getBulk, expected) << file;
    }
}

TEST(StartupArguments, NumberThatDoesNotConvertNamesTheText)
{
    SetDefaultSnmpSettings();
    std::string address;
    try {
        ApplyArguments({"/I1.2.3.4", "/vthree"}, "", address);
        FAIL() << "no conversion error";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "'three' is not a valid integer value");
    }
    QTemporaryDir folder;
    const std::string configDir = folder.path().toStdString() + "/";
    std::ofstream(ParameterFilePath(configDir, "1.2.3.4")) << "[Program Information]\nAgentPort=16x\n";
    EXPECT_THROW(ApplyArguments({"/I1.2.3.4", "/Rx"}, configDir, address), ConversionError);
    EXPECT_THROW(ApplyArguments({"/I1.2.3.5", "/v3", "/t70000"}, "", address), ConversionError);
}

// Only the versions the library knows convert: any other would open an SNMPv3 session
// without a user, or a session of no version at all.
TEST(StartupArguments, AVersionOtherThanZeroOneOrThreeIsAConversionError)
{
    QTemporaryDir folder;
    const std::string configDir = folder.path().toStdString() + "/";
    for (const char* version : {"2", "4", "-1", "255", "256"}) {
        SCOPED_TRACE(version);
        SetDefaultSnmpSettings();
        std::string address;
        try {
            ApplyArguments({"/I1.2.3.4", std::string("/v") + version}, "", address);
            ADD_FAILURE() << "the switch was accepted as version " << int(QvSNMPSecurity.version);
        } catch (const ConversionError& error) {
            EXPECT_EQ(error.what(), "'" + std::string(version) + "' is not a valid integer value");
        }
        std::ofstream(ParameterFilePath(configDir, "1.2.3.6")) << "[Program Information]\nVersion=" << version << "\n";
        EXPECT_THROW(ApplyArguments({"/I1.2.3.6", "/Rx"}, configDir, address), ConversionError);
    }
    for (const char* version : {"0", "1", "3"}) {
        std::string address;
        EXPECT_NO_THROW(ApplyArguments({"/I1.2.3.4", std::string("/v") + version}, "", address));
        EXPECT_EQ(QvSNMPSecurity.version, std::stoi(version));
    }
}

TEST(StartupRegistry, ModuleAndConfigFolders)
{
    EXPECT_EQ(ModuleDirFromHelpPath("/opt/orv/mod/VTA3100.help"), "/opt/orv/mod/");
    EXPECT_EQ(ModuleDirFromHelpPath("short.help"), "");
    EXPECT_EQ(ModuleDirFromHelpPath("exactly12chr"), "");

    QTemporaryDir folder;
    HostRegistry registry(folder.filePath("registry.ini").toStdString());
    EXPECT_EQ(DetermineConfigDir(registry), "");
    EXPECT_EQ(ReadHelpPath(registry), "");
    EXPECT_TRUE(registry.keyExists(kHelpPathKey));  // created when missing

    registry.writeValue(kHelpPathKey, EnterpriseOidText, "/opt/orv/mod/VTA3100.help");
    EXPECT_EQ(ReadHelpPath(registry), "/opt/orv/mod/VTA3100.help");

    registry.writeValue(kExePathKey, "Path", "/opt/orv/bin/");
    EXPECT_EQ(DetermineConfigDir(registry), "/opt/orv/bin/../Conf/MBF/");
    registry.writeValue("SOFTWARE\\corvane\\orvant5.1\\mibfile", "path", "/srv/mbf/");
    EXPECT_EQ(DetermineConfigDir(registry), "/srv/mbf/");
    EXPECT_EQ(ParameterFilePath("/srv/mbf/", "10.0.0.7"), "/srv/mbf/10.0.0.7.cfg");
}

TEST(StartupMessageFiles, TheModuleFolderWinsOverTheExecutableFolder)
{
    ResetMessageTables();
    QTemporaryDir exeDir, moduleDir;
    QDir(exeDir.path()).mkdir("errMSg");
    QDir(moduleDir.path()).mkdir("errmsg");
    std::ofstream(exeDir.filePath("errMSg/snmpclass.err").toStdString())
        << "c1\nc2\nc3\nc4\nbeside the executable\n";
    std::ofstream(exeDir.filePath("errMSg/snmp.err").toStdString()) << "only beside the executable\n";
    std::ofstream(moduleDir.filePath("errmsg/snmpclass.err").toStdString())
        << "m1\n\nm2\nm3\nm4\nin the module folder\n";

    LoadMessageFiles(exeDir.path().toStdString() + "/errMSg/", ExecutableMessageFiles());
    LoadMessageFiles(moduleDir.path().toStdString() + "/", ModuleMessageFiles());

    EXPECT_EQ(MapStatus(-5).text, "in the module folder");
    EXPECT_EQ(MapStatus(1).text, "only beside the executable");
    EXPECT_EQ(MapStatus(2).text, "(SNMP) Variable does not exist!");
    ResetMessageTables();
}

TEST(StartupCaption, NamesModelAndAddress)
{
    EXPECT_EQ(ModuleCaption("10.0.0.7"), "VTA-3100QX : 10.0.0.7");
}

} // namespace
