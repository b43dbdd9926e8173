#include "snmp/BootCounter.h"
#include "snmp/QvException.h"
#include "snmp/QvSNMPStartup.h"
#include "snmp/SnmpSettings.h"

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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

// Modules started together each advance the count once: none fails, none is lost.
TEST(SnmpStartup, StartsAtTheSameTimeEachAdvanceTheCountOnce)
{
    QTemporaryDir folder;
    const std::string path = BootCounterPath(folder.path().toStdString());
    std::ofstream(path) << "OtherEngine 7\n";
    constexpr int kStarts = 6;
    constexpr int kRounds = 30;
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < kStarts; ++i) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            char byte;
            ::close(go[1]);
            [[maybe_unused]] const ssize_t started = ::read(go[0], &byte, 1);  // all start together
            int failures = 0;
            for (int round = 0; round < kRounds; ++round) {
                unsigned boots = 0;
                if (BootCounter::advance(path, "QvSNMP_PP_Application", boots) != 0)
                    ++failures;
            }
            ::_exit(failures);
        }
        children.push_back(child);
    }
    ::close(go[0]);
    ::close(go[1]);  // the children's reads return together
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "failed starts";
    }
    unsigned boots = 0;
    EXPECT_EQ(BootCounter::load(path, "QvSNMP_PP_Application", boots), BootCounter::kFound);
    EXPECT_EQ(boots, unsigned(kStarts * kRounds));
    EXPECT_EQ(BootCounter::load(path, "OtherEngine", boots), BootCounter::kFound);
    EXPECT_EQ(boots, 7u);
    // Nothing but the count file is left in the folder.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"QvSNMP_PP_BootCounter"});
}

} // namespace
