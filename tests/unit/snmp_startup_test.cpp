#include "snmp/BootCounter.h"
#include "snmp/QvException.h"
#include "snmp/QvSNMPStartup.h"
#include "snmp/SnmpSettings.h"

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

int startupCode(const std::string& folder)
{
    try {
        QvSNMPStartup(folder);
        return 0;
    } catch (const QvException& error) {
        return error.code();
    }
}

TEST(SnmpStartup, EachStartAdvancesTheBootsCounterAndKeepsOtherEngines)
{
    QTemporaryDir folder;
    const std::string path = BootCounterPath(folder.path().toStdString());
    ASSERT_EQ(startupCode(folder.path().toStdString()), 0);
    EXPECT_EQ(readFile(path), "QvSNMP_PP_Application 1\n");

    std::ofstream(path, std::ios::app) << "OtherEngine 41\n";
    ASSERT_EQ(startupCode(folder.path().toStdString() + "/"), 0);
    unsigned boots = 0;
    EXPECT_EQ(BootCounter::load(path, "QvSNMP_PP_Application", boots), BootCounter::kFound);
    EXPECT_EQ(boots, 2u);
    EXPECT_EQ(BootCounter::load(path, "OtherEngine", boots), BootCounter::kFound);
    EXPECT_EQ(boots, 41u);
}

TEST(SnmpStartup, SetsTheLibraryDefaults)
{
    QTemporaryDir folder;
    QvSNMPDevice = {"10.1.1.1", 999};
    QvSNMPSecurity.readCommunity = "changed";
    ASSERT_EQ(startupCode(folder.path().toStdString()), 0);
    EXPECT_EQ(QvSNMPDevice.address, "127.0.0.1");
    EXPECT_EQ(QvSNMPDevice.port, 161);
    EXPECT_EQ(QvSNMPSecurity.version, 0);
    EXPECT_EQ(QvSNMPSecurity.readCommunity, "public");
    EXPECT_EQ(QvSNMPSecurity.writeCommunity, "private");
    EXPECT_EQ(QvSNMPSecurity.securityModel, 1);
    EXPECT_EQ(QvSNMPSecurity.securityLevel, 1);
    EXPECT_EQ(QvSNMPSecurity.authProtocol, 1);
    EXPECT_EQ(QvSNMPSecurity.privProtocol, 1);
    EXPECT_TRUE(QvSNMPSecurity.securityName.empty());
    EXPECT_TRUE(QvSNMPScope.contextName.empty());
    EXPECT_EQ(DefaultTimeout, 100);
}

TEST(SnmpStartup, CountFileFailures)
{
    QTemporaryDir folder;
    // A folder that does not exist: the count cannot be saved.
    EXPECT_EQ(startupCode(folder.path().toStdString() + "/missing"), -508);

    // A count file whose line for this engine is not a number cannot be loaded.
    std::ofstream(BootCounterPath(folder.path().toStdString())) << "QvSNMP_PP_Application many\n";
    EXPECT_EQ(startupCode(folder.path().toStdString()), -507);

    // A count file in the way of the save (here: a folder of that name).
    QTemporaryDir other;
    ASSERT_TRUE(QDir(other.path()).mkdir("QvSNMP_PP_BootCounter"));
    EXPECT_EQ(startupCode(other.path().toStdString()), -508);
}

} // namespace
