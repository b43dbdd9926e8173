// The fleet's store: received backups reach their final names in groups, a name of the same
// second is kept beside the first, and a backup that cannot be stored leaves no file.
#include "fleet/DurableStore.h"
#include "support/FileContents.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <map>

namespace {

struct Outcome {
    bool ok = false;
    QString pathOrWhy;
};

class FleetStore : public ::testing::Test {
protected:
    QTemporaryDir root;

    QString temporary(const QString& name, const QByteArray& content)
    {
        const QString path = root.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    // Stores each (temporary, final) pair at once, as a site's backups finishing together
    // do, and waits for every result.
    std::map<QString, Outcome> storeAll(const std::vector<std::pair<QString, QString>>& files)
    {
        std::map<QString, Outcome> outcomes;
        {
            DurableStore store;
            for (const auto& [from, to] : files)
                store.store(from, to, [&outcomes, from](bool ok, const QString& pathOrWhy) {
                    outcomes[from] = {ok, pathOrWhy};
                });
            EXPECT_TRUE(QTest::qWaitFor([&] { return outcomes.size() == files.size(); }, 10000));
        }
        return outcomes;
    }
};

TEST_F(FleetStore, EveryBackupOfAGroupGetsItsFinalNameAndTheTemporaryGoes)
{
    std::vector<std::pair<QString, QString>> files;
    for (int device = 1; device <= 30; ++device) {
        const QString name = QString("10.0.0.%1").arg(device);
        files.push_back({temporary(".part-" + name, "config of " + name.toUtf8()),
                         root.filePath(name + "/20261210T010203Z.cfg")});
    }
    const auto outcomes = storeAll(files);
    for (const auto& [from, to] : files) {
        ASSERT_TRUE(outcomes.at(from).ok) << outcomes.at(from).pathOrWhy.toStdString();
        EXPECT_EQ(outcomes.at(from).pathOrWhy, to);
        EXPECT_FALSE(QFile::exists(from));
        EXPECT_EQ(FileContents(to), "config of " + QFileInfo(to).dir().dirName().toUtf8());
    }
}

TEST_F(FleetStore, ASecondBackupOfTheSameSecondIsKeptBesideTheFirst)
{
    const QString final = root.filePath("10.0.0.1/20261210T010203Z.cfg");
    ASSERT_TRUE(QDir().mkpath(root.filePath("10.0.0.1")));
    QFile::copy(temporary("earlier", "earlier"), final);
    const QString from = temporary(".part", "later");
    const auto outcomes = storeAll({{from, final}});
    ASSERT_TRUE(outcomes.at(from).ok);
    EXPECT_EQ(outcomes.at(from).pathOrWhy, root.filePath("10.0.0.1/20261210T010203Z-2.cfg"));
    EXPECT_EQ(FileContents(final), "earlier");
    EXPECT_EQ(FileContents(outcomes.at(from).pathOrWhy), "later");
}

TEST_F(FleetStore, ABackupThatCannotBeStoredLeavesNoFileAndTheRestOfItsGroupIsStored)
{
    // A plain file stands where the device's folder should be.
    temporary("10.0.0.2", "not a folder");
    const QString blocked = temporary(".part-2", "config 2");
    const QString fine = temporary(".part-3", "config 3");
    const auto outcomes = storeAll({{blocked, root.filePath("10.0.0.2/a.cfg")},
                                    {fine, root.filePath("10.0.0.3/a.cfg")}});
    EXPECT_FALSE(outcomes.at(blocked).ok);
    EXPECT_EQ(outcomes.at(blocked).pathOrWhy, "cannot create the folder " + root.filePath("10.0.0.2"));
    EXPECT_FALSE(QFile::exists(blocked));
    EXPECT_EQ(FileContents(root.filePath("10.0.0.2")), "not a folder");
    ASSERT_TRUE(outcomes.at(fine).ok);
    EXPECT_EQ(FileContents(root.filePath("10.0.0.3/a.cfg")), "config 3");
}

}  // namespace
