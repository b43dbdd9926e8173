#include "support/ChildProcess.h"
#include "platform/InstanceLock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// The module as the host starts it: its own process, messages answered unattended (written to
// standard error), host registry and lock folder private to the test.
class ModuleProcessTest : public ::testing::Test {
protected:
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("VTA_UNATTENDED_DIALOGS", "1");
        env.insert("VTA_HOST_REGISTRY", folder.filePath("registry.ini"));
        env.insert("VTA_LOCK_DIR", folder.path());
        return env;
    }

    void start(ChildProcess& module, const QStringList& arguments)
    {
        module.process().setWorkingDirectory(folder.path());
        ASSERT_TRUE(module.start(VTA_BIN_DIR "/vta-module", arguments, environment()));
    }

    // True once a running module holds the lock of this address. Looked up in the kernel's
    // lock table, so that looking never takes the lock away from a module starting up.
    bool waitUntilLocked(const std::string& address, int timeoutMs)
    {
        qputenv("VTA_LOCK_DIR", folder.path().toLocal8Bit());
        const std::string path = InstanceLock::lockFilePath("VTA-3100QX : " + address);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            struct stat info{};
            if (::stat(path.c_str(), &info) == 0) {
                std::ifstream locks("/proc/locks");
                const std::string inode = ":" + std::to_string(info.st_ino) + " ";
                for (std::string line; std::getline(locks, line);)
                    if (line.find("FLOCK") != std::string::npos && line.find(inode) != std::string::npos)
                        return true;
            }
            QThread::msleep(50);
        }
        return false;
    }

    QTemporaryDir folder;
};

TEST_F(ModuleProcessTest, OneModulePerDeviceAddressAndTheLockDiesWithTheProcess)
{
    ChildProcess first, second, other, afterKill;
    start(first, {"/I127.0.0.1", "/Rpublic"});
    ASSERT_TRUE(waitUntilLocked("127.0.0.1", 10000)) << first.output().toStdString();

    start(second, {"/I127.0.0.1", "/Rpublic"});
    EXPECT_EQ(second.waitForExit(10000), 3);
    EXPECT_TRUE(second.output().contains("[Warning] Another VTA3100QX module is running!")) << second.output().toStdString();

    start(other, {"/I127.0.0.2"});
    EXPECT_TRUE(waitUntilLocked("127.0.0.2", 10000));
    EXPECT_EQ(other.process().state(), QProcess::Running);

    first.kill();
    start(afterKill, {"/I127.0.0.1"});
    EXPECT_TRUE(waitUntilLocked("127.0.0.1", 10000));
    EXPECT_EQ(afterKill.process().state(), QProcess::Running) << afterKill.output().toStdString();
}

TEST_F(ModuleProcessTest, WithoutArgumentsItSaysWhoStartsItAndEnds)
{
    ChildProcess module;
    start(module, {});
    EXPECT_EQ(module.waitForExit(10000), 2);
    EXPECT_TRUE(module.output().contains("[VTA-3100QX] This module is only used in the Orvant or HP-Openview."))
        << module.output().toStdString();
}

TEST_F(ModuleProcessTest, ASwitchThatIsNotANumberEndsTheStartInOrder)
{
    ChildProcess module;
    start(module, {"/I127.0.0.1", "/vx"});
    EXPECT_EQ(module.waitForExit(10000), 1);
    EXPECT_TRUE(module.output().contains("'x' is not a valid integer value")) << module.output().toStdString();
}

TEST_F(ModuleProcessTest, BootsFileUnwritableEndsTheStartWithItsMessage)
{
    // The count file lives in the current folder; a folder in its place cannot be replaced.
    QDir(folder.path()).mkdir("QvSNMP_PP_BootCounter");
    ChildProcess module;
    start(module, {"/I127.0.0.1"});
    EXPECT_EQ(module.waitForExit(10000), 1);
    EXPECT_TRUE(module.output().contains("(QvSNMP++) Error when saving SNMP engine boots counter!"))
        << module.output().toStdString();
}

} // namespace
