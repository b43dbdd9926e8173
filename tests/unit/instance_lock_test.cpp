// The per-device lock outside a session's runtime folder: it lives in a folder of the user's
// own, so another user's module for the same device neither meets it nor can take it.
#include "support/AnotherUser.h"
#include "platform/InstanceLock.h"

#include <QByteArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// Neither lock folder variable set; TMPDIR a shared folder of the test's own, open to all
// as /tmp is.
class InstanceLockInTemporaryFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"VTA_LOCK_DIR", "XDG_RUNTIME_DIR", "TMPDIR"}) {
            saved.emplace_back(name, qgetenv(name));
            qunsetenv(name);
        }
        ASSERT_TRUE(shared.isValid());
        ::chmod(shared.path().toLocal8Bit().constData(), 01777);
        qputenv("TMPDIR", shared.path().toLocal8Bit());
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved)
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }

    QTemporaryDir shared;
    std::vector<std::pair<const char*, QByteArray>> saved;
};

TEST_F(InstanceLockInTemporaryFolder, LivesInAFolderOfTheUsersOwn)
{
    InstanceLock lock("VTA-3100QX : 10.0.0.7");
    ASSERT_TRUE(lock.acquire());
    const std::string folder = InstanceLock::lockFolder();
    EXPECT_EQ(folder, shared.path().toStdString() + "/vta-module-" + std::to_string(::geteuid()));
    struct stat info {};
    ASSERT_EQ(::lstat(folder.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_uid, ::geteuid());
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_FALSE(InstanceLock("VTA-3100QX : 10.0.0.7").acquire()) << "one module per device";
}

TEST_F(InstanceLockInTemporaryFolder, AnotherUsersModuleForTheSameDeviceRuns)
{
    if (!another_user::available())
        GTEST_SKIP() << "only root can start a module as another user";
    InstanceLock mine("VTA-3100QX : 10.0.0.7");
    ASSERT_TRUE(mine.acquire());
    const int theirs = another_user::run([] {
        InstanceLock lock("VTA-3100QX : 10.0.0.7");
        return lock.acquire() ? 0 : 1;
    });
    EXPECT_EQ(theirs, 0);
    // And a stale lock file of theirs is no obstacle to ours after they have gone.
    EXPECT_TRUE(mine.held());
}

// A folder of that name that someone else made (or one others may write to) is not used:
// its owner could hold or remove the module's locks.
TEST_F(InstanceLockInTemporaryFolder, AFolderOthersControlIsNotUsed)
{
    const std::string folder = InstanceLock::lockFolder();
    ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
    ::chmod(folder.c_str(), 0777);
    EXPECT_FALSE(InstanceLock("VTA-3100QX : 10.0.0.8").acquire());
}

} // namespace
