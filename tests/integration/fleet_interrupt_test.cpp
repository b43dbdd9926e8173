// Ctrl-C in the middle of a backup of many devices: no further device starts, the ones under
// way end, no temporary file stays, what finished is printed with a summary, the exit status
// is 130, and the devices are free at once for the next run.
#include "support/DevsimSite.h"
#include "support/FleetTool.h"
#include "support/FreePort.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

namespace {

constexpr int kDevices = 60;

TEST(FleetInterrupt, SigintInTheMiddleOfABackupEndsCleanlyWithASummary)
{
    QTemporaryDir folder;
    const uint16_t tftpPort = FreeUdpPort();
    // Every answer comes late, so the run lasts a few seconds with devices under way throughout.
    const QStringList options{"--tftp-port", QString::number(tftpPort), "--delay-ms", "150"};
    DevsimSite site(std::vector<QStringList>(kDevices, options));
    ASSERT_TRUE(site.start()) << site.error();
    QFile list(folder.filePath("site.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    for (size_t i = 0; i < site.size(); ++i)
        list.write((site.address(i) + ":" + QString::number(site.port()) + "\n").toUtf8());
    list.close();
    const QString backups = folder.filePath("backups");
    const QStringList arguments{"--devices", list.fileName(), "--json", "--tftp-port", QString::number(tftpPort),
                                "--parallel", "8", "backup", backups};

    QProcess fleet;
    fleet.setProcessEnvironment(FleetEnvironment(folder.path()));
    fleet.start(QStringLiteral(VTA_BIN_DIR) + "/vta-fleet", arguments);
    ASSERT_TRUE(fleet.waitForStarted());
    // Stop once some devices have saved their backups.
    QElapsedTimer waited;
    waited.start();
    auto saved = [&] {
        int files = 0;
        for (QDirIterator it(backups, {"*.cfg"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext(); it.next())
            ++files;
        return files;
    };
    while (saved() < 10 && waited.elapsed() < 30000 && fleet.state() == QProcess::Running)
        QThread::msleep(20);
    ASSERT_EQ(fleet.state(), QProcess::Running) << "the backup ended before it could be stopped";
    ::kill(static_cast<pid_t>(fleet.processId()), SIGINT);
    QElapsedTimer stopping;
    stopping.start();
    ASSERT_TRUE(fleet.waitForFinished(10000));
    EXPECT_LT(stopping.elapsed(), 3000) << "a stopped run ends at once";
    EXPECT_EQ(fleet.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(fleet.exitCode(), 130);

    // Every device is reported: saved, or why not.
    const QJsonArray outcomes = QJsonDocument::fromJson(fleet.readAllStandardOutput()).array();
    ASSERT_EQ(outcomes.size(), kDevices);
    int ok = 0, interrupted = 0, notStarted = 0;
    for (const QJsonValue& entry : outcomes) {
        const QJsonObject outcome = entry.toObject();
        const QString result = outcome.value("result").toString();
        if (outcome.value("ok").toBool()) {
            ++ok;
            EXPECT_TRUE(QFile::exists(outcome.value("file").toString())) << result.toStdString();
        } else {
            interrupted += result == "interrupted";
            notStarted += result == "not started";
        }
    }
    EXPECT_GE(ok, 10);
    EXPECT_GT(notStarted, 0);
    const QString errors = QString::fromUtf8(fleet.readAllStandardError());
    const QRegularExpression summary("vta-fleet: stopped by SIGINT: (\\d+) saved, (\\d+) failed(, (\\d+) interrupted)?"
                                     "(, (\\d+) not started)?\n");
    const QRegularExpressionMatch match = summary.match(errors);
    ASSERT_TRUE(match.hasMatch()) << errors.toStdString();
    EXPECT_EQ(match.captured(1).toInt(), ok);
    EXPECT_EQ(match.captured(4).toInt(), interrupted);
    EXPECT_EQ(match.captured(6).toInt(), notStarted);

    // No temporary file anywhere, only the saved backups.
    int files = 0;
    for (QDirIterator it(backups, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        EXPECT_TRUE(path.endsWith(".cfg") && !QFileInfo(path).fileName().startsWith('.')) << path.toStdString();
        ++files;
    }
    EXPECT_EQ(files, ok);

    // The devices the run left are free: a run started right after saves every one.
    const FleetResult next = RunFleetTool(arguments, FleetEnvironment(folder.path()));
    EXPECT_EQ(next.exitCode, 0) << next.output.toStdString() << next.errors.toStdString();
}

// SIGTERM in the middle of an upgrade: the devices whose transfer it cut are interrupted (not
// failed), and each device under way is asked what it runs now: the one that had taken the
// image and come back on it counts as upgraded.
TEST(FleetInterrupt, SigtermInTheMiddleOfAnUpgradeReportsWhatEachDeviceRuns)
{
    QTemporaryDir folder;
    const uint16_t tftpPort = FreeUdpPort();
    const QString firmwareOid = "1.3.6.1.4.1.32473.10.37.24.4.1.1.1";
    const QStringList common{"--tftp-port", QString::number(tftpPort)};
    // Device 0 restarts at once; the others lose their first question, so they fetch the image
    // a second later, while device 0 is back on the new firmware.
    std::vector<QStringList> devices{common + QStringList{"--restart-seconds", "0"}};
    for (int i = 1; i < 6; ++i)
        devices.push_back(common + QStringList{"--restart-seconds", "1", "--drop-once", firmwareOid});
    DevsimSite site(devices);
    ASSERT_TRUE(site.start()) << site.error();
    QFile list(folder.filePath("site.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    for (size_t i = 0; i < site.size(); ++i)
        list.write((site.address(i) + ":" + QString::number(site.port()) + "\n").toUtf8());
    list.close();
    // Large enough that fetching it takes a while.
    QFile image(folder.filePath("vta_2.10.tfp"));
    ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    image.write("VTA-3100QX FW 2.10\n" + QByteArray(32 << 20, 'x'));
    image.close();
    const QString serverOid = "1.3.6.1.4.1.32473.10.37.24.3.3.1.0";

    QProcess fleet;
    fleet.setProcessEnvironment(FleetEnvironment(folder.path()));
    fleet.start(QStringLiteral(VTA_BIN_DIR) + "/vta-fleet",
                {"--devices", list.fileName(), "--json", "--tftp-port", QString::number(tftpPort), "--parallel", "4",
                 "upgrade", image.fileName()});
    ASSERT_TRUE(fleet.waitForStarted());
    // Stop once device 0 runs the new firmware and the others have been told where the image is.
    // (Each look makes the simulator write its state: not too often, or it falls behind.)
    QElapsedTimer waited;
    waited.start();
    auto ready = [&] {
        if (site.value(0, firmwareOid + ".0") != "2.10")
            return false;
        for (size_t i = 1; i < 4; ++i)
            if (site.value(i, serverOid) == "0.0.0.0")
                return false;
        return true;
    };
    while (!ready() && waited.elapsed() < 60000 && fleet.state() == QProcess::Running)
        QThread::msleep(100);
    ASSERT_EQ(fleet.state(), QProcess::Running) << "the upgrade ended before it could be stopped";
    ::kill(static_cast<pid_t>(fleet.processId()), SIGTERM);
    QElapsedTimer stopping;
    stopping.start();
    ASSERT_TRUE(fleet.waitForFinished(10000));
    EXPECT_LT(stopping.elapsed(), 3000) << "a stopped run asks the devices only briefly";
    EXPECT_EQ(fleet.exitCode(), 130);

    const QJsonArray outcomes = QJsonDocument::fromJson(fleet.readAllStandardOutput()).array();
    const QString errors = QString::fromUtf8(fleet.readAllStandardError());
    ASSERT_EQ(outcomes.size(), 6) << errors.toStdString();
    const std::string report = QJsonDocument(outcomes).toJson().toStdString();
    const QJsonObject upgraded = outcomes[0].toObject();
    EXPECT_TRUE(upgraded.value("ok").toBool()) << report;
    EXPECT_EQ(upgraded.value("result").toString().toStdString(), "upgraded");
    EXPECT_EQ(upgraded.value("after").toString().toStdString(), "2.10");
    for (int i = 1; i < 4; ++i) {
        const QJsonObject cut = outcomes[i].toObject();
        EXPECT_FALSE(cut.value("ok").toBool()) << report;
        EXPECT_EQ(cut.value("result").toString().toStdString(), "interrupted") << report;
        EXPECT_EQ(cut.value("before").toString().toStdString(), "2.05");
        EXPECT_EQ(cut.value("after").toString().toStdString(), "2.05") << "what the device runs now";
    }
    for (int i = 4; i < 6; ++i)
        EXPECT_EQ(outcomes[i].toObject().value("result").toString().toStdString(), "not started");
    EXPECT_TRUE(errors.contains("vta-fleet: stopped by SIGTERM: 1 upgraded, 0 failed, 3 interrupted, 2 not started\n"))
        << errors.toStdString();
}

}  // namespace
