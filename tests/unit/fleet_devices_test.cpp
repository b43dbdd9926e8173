// The fleet's device list (the module's command-line switches per line), the host's
// parameter files as a device list, and the lamps from the status flags.
#include "fleet/DeviceList.h"
#include "fleet/StatusCommand.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace {

TEST(FleetDeviceLine, SwitchesApplyAsOnTheModulesCommandLine)
{
    const struct {
        const char* line;
        const char* label;
        uint16_t port;
        int version;
        const char* read;
        const char* write;
    } cases[] = {
        {"10.0.0.7", "10.0.0.7", 161, 0, "public", "private"},
        {"10.0.0.7:1161 /Rsite-ro /Wsite-rw /v1", "10.0.0.7:1161", 1161, 1, "site-ro", "site-rw"},
        // The port switch counts only in SNMPv3, as on the module's command line.
        {"10.0.0.7 /t1161 /v3", "10.0.0.7", 161, 3, "public", "private"},
        {"10.0.0.7 /v3 /t1161", "10.0.0.7:1161", 1161, 3, "public", "private"},
        {"  ap.example /Wx  ", "ap.example", 161, 0, "public", "x"},
        // A word starting with "#" begins a comment, as at the start of a line.
        {"10.0.0.7 /Wrw # lobby, /Wnot-this", "10.0.0.7", 161, 0, "public", "rw"},
        {"10.0.0.7 #/v1", "10.0.0.7", 161, 0, "public", "private"},
        {"10.0.0.7 /Wa#b", "10.0.0.7", 161, 0, "public", "a#b"},
    };
    for (const auto& c : cases) {
        FleetDevice device;
        std::string error;
        ASSERT_TRUE(ParseDeviceLine(c.line, "", device, error)) << c.line << ": " << error;
        EXPECT_EQ(device.label(), c.label) << c.line;
        EXPECT_EQ(device.connection.device.port, c.port) << c.line;
        EXPECT_EQ(device.connection.security.version, c.version) << c.line;
        EXPECT_EQ(device.connection.security.readCommunity, c.read) << c.line;
        EXPECT_EQ(device.connection.security.writeCommunity, c.write) << c.line;
    }
    // Each line starts from the defaults: nothing of an earlier device carries over.
    FleetDevice plain;
    std::string error;
    ASSERT_TRUE(ParseDeviceLine("10.0.0.9", "", plain, error));
    EXPECT_EQ(plain.connection.security.writeCommunity, "private");
    EXPECT_EQ(QvSNMPSecurity.writeCommunity, "private");
}

TEST(FleetDeviceLine, BadLinesSayWhatIsWrong)
{
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"/Rpublic", "starts with the device's address"},
        {"10.0.0.7:0", "not a port number"},
        {"10.0.0.7:99999", "not a port number"},
        {"10.0.0.7 public", "'public' is not a switch"},
        {"10.0.0.7 /vx", "'/vx'"},  // the module's conversion error, naming the switch
        {"10.0.0.7 /v3 /l1 /tabc", "'/tabc'"},
        {"10.0.0.7 /v2", "'/v2': the version switch takes 0 (SNMPv1), 1 (SNMPv2c) or 3 (SNMPv3)"},
        {"fe80::1", "IPv6 is not supported"},
        {"[::1]:161", "IPv6 is not supported"},
        {"# 10.0.0.7", "starts with the device's address"},
    };
    for (const auto& c : cases) {
        FleetDevice device;
        std::string error;
        EXPECT_FALSE(ParseDeviceLine(c.line, "", device, error)) << c.line;
        EXPECT_FALSE(error.empty()) << c.line;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.line << ": " << error;
    }
}

TEST(FleetDeviceList, ReadsEveryDeviceAndNamesTheLineOfAFault)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("site.txt").toStdString();
    std::ofstream(path) << "# lobby\n10.0.0.1\n\n   # spare\n10.0.0.2:1161 /Wrw\n";
    std::vector<FleetDevice> devices;
    std::string error;
    ASSERT_TRUE(ReadDeviceList(path, "", devices, error)) << error;
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[1].label(), "10.0.0.2:1161");
    EXPECT_EQ(devices[1].connection.security.writeCommunity, "rw");

    std::ofstream(path) << "10.0.0.1\n10.0.0.2 oops\n";
    devices.clear();
    EXPECT_FALSE(ReadDeviceList(path, "", devices, error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    std::ofstream(path) << "# nothing\n";
    EXPECT_FALSE(ReadDeviceList(path, "", devices, error));
    EXPECT_FALSE(ReadDeviceList(folder.filePath("missing").toStdString(), "", devices, error));
}

// Two runs against one device at once break both (its transfers share a name, it takes one
// command at a time): the list is refused, naming both lines.
TEST(FleetDeviceList, ADeviceNamedTwiceIsRefusedWithBothLines)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("site.txt").toStdString();
    const struct {
        const char* list;
        const char* message;  // empty: accepted
    } cases[] = {
        {"10.0.0.1\n10.0.0.2\n# spare\n10.0.0.1 /Rro\n", ": lines 1 and 4 both name the device 10.0.0.1"},
        {"10.0.0.1:161\n10.0.0.1\n", ": lines 1 and 2 both name the device 10.0.0.1"},
        {"AP-Lobby\nap-lobby\n", ": lines 1 and 2 both name the device ap-lobby"},
        {"10.0.0.1 /v3 /t1161\n10.0.0.1:1161\n", ": lines 1 and 2 both name the device 10.0.0.1:1161"},
        {"10.0.0.1\n10.0.0.1:1161\n", ""},  // two agents of one address are two devices
    };
    for (const auto& c : cases) {
        std::ofstream(path) << c.list;
        std::vector<FleetDevice> devices;
        std::string error;
        EXPECT_EQ(ReadDeviceList(path, "", devices, error), *c.message == 0) << c.list;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.list << ": " << error;
    }
}

TEST(FleetDeviceList, TheHostsParameterFilesAreDevicesToo)
{
    QTemporaryDir folder;
    std::ofstream(folder.filePath("10.0.0.8.cfg").toStdString())
        << "[Program Information]\nAgentPort=1162\nVersion=1\n";
    std::ofstream(folder.filePath("10.0.0.9.cfg").toStdString()) << "[Program Information]\n";
    std::ofstream(folder.filePath("notes.txt").toStdString()) << "not a device\n";
    std::vector<FleetDevice> devices;
    std::string error;
    ASSERT_TRUE(ReadConfigFolder(folder.path().toStdString(), devices, error)) << error;
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].label(), "10.0.0.8:1162");
    EXPECT_EQ(devices[0].connection.security.version, 1);
    EXPECT_EQ(devices[1].label(), "10.0.0.9");

    // A listed device's own parameter file counts as on the module's command line.
    FleetDevice listed;
    ASSERT_TRUE(ParseDeviceLine("10.0.0.8 /Rro", folder.path().toStdString() + "/", listed, error)) << error;
    EXPECT_EQ(listed.connection.device.port, 1162);
    EXPECT_EQ(listed.connection.security.readCommunity, "ro");
}

TEST(FleetLamps, EachLampIsOnOffOrBlinking)
{
    using States = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(LampStates(53), (States{{"power", "on"}, {"lan", "on"}, {"radio1", "blinking"}, {"radio2", "off"}}));
    EXPECT_EQ(LampStates(0), (States{{"power", "off"}, {"lan", "off"}, {"radio1", "off"}, {"radio2", "off"}}));
    EXPECT_EQ(LampStates(1 | 8 | 64 | 128),
              (States{{"power", "on"}, {"lan", "blinking"}, {"radio1", "off"}, {"radio2", "blinking"}}));
}

}  // namespace
