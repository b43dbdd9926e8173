// vta-fleet when something goes wrong: every failure says why, before any device is touched
// where it can be known then (a folder the user cannot write, an image that cannot be read or
// is empty, a TFTP port the tool cannot have), and from the TFTP server's own view where it
// happens during the run (a full disk, requests that never arrive).
#include "support/DevsimSite.h"
#include "support/FleetTool.h"
#include "support/FreePort.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const QString kServerAddress = "1.3.6.1.4.1.32473.10.37.24.3.3.1.0";
const QString kFirmware = "1.3.6.1.4.1.32473.10.37.24.4.1.1.1.0";
const QString kUpTime = "1.3.6.1.2.1.1.3.0";

void WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
}

// Two sound devices that send their TFTP requests to deviceTftpPort (the tool's own port
// unless a test says otherwise) and give up a transfer within a second.
class FleetFailures : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Folders nobody may use: the tool runs as nobody in some tests.
        ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0777), 0);
        tftpPort = FreeUdpPort();
    }

    void startSite(uint16_t deviceTftpPort, const QStringList& extra = {}, size_t devices = 2)
    {
        const QStringList options = QStringList{"--restart-seconds", "1", "--tftp-port",
                                                QString::number(deviceTftpPort), "--tftp-timeout-ms", "200",
                                                "--tftp-retries", "1"} + extra;
        site = std::make_unique<DevsimSite>(std::vector<QStringList>(devices, options));
        ASSERT_TRUE(site->start()) << site->error();
        QFile file(list());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (size_t i = 0; i < site->size(); ++i)
            file.write((label(i) + " /Rpublic /Wprivate\n").toUtf8());
    }

    QString label(size_t device) const { return site->address(device) + ":" + QString::number(site->port()); }
    QString list() const { return folder.filePath("site.txt"); }

    FleetResult run(const QStringList& arguments, const FleetRunOptions& options = {})
    {
        return RunFleetTool(QStringList{"--devices", list(), "--json", "--tftp-port", QString::number(tftpPort)} +
                                arguments,
                            FleetEnvironment(home(options)), options);
    }
    // Root's runs keep their state in the test's folder, nobody's in one of nobody's own.
    QString home(const FleetRunOptions& options) const
    {
        if (!options.asNobody)
            return folder.path();
        const QString own = folder.filePath("nobody");
        QDir().mkpath(own);
        ::chmod(QFile::encodeName(own).constData(), 0777);
        return own;
    }

    // Whether the device was asked to do anything: the TFTP server's address is set first.
    bool untouched(size_t device) { return site->value(device, kServerAddress) == "0.0.0.0"; }

    QTemporaryDir folder;
    uint16_t tftpPort = 0;
    std::unique_ptr<DevsimSite> site;
};

TEST_F(FleetFailures, ABackupFolderThatCannotBeWrittenIsNamedBeforeAnyDevice)
{
    startSite(tftpPort);
    const QString backups = folder.filePath("backups");
    ASSERT_TRUE(QDir().mkpath(backups));
    FleetRunOptions options;
    if (CanRunAsNobody()) {
        options.asNobody = true;  // root writes anywhere; nobody may not write root's folder
        ASSERT_EQ(::chmod(QFile::encodeName(backups).constData(), 0755), 0);
    } else {
        ASSERT_EQ(::chmod(QFile::encodeName(backups).constData(), 0555), 0);
    }
    const FleetResult result = run({"backup", backups}, options);
    EXPECT_EQ(result.exitCode, 2) << result.errors.toStdString();
    EXPECT_TRUE(result.errors.contains("cannot write in the backup folder " + backups + ": Permission denied"))
        << result.errors.toStdString();
    EXPECT_TRUE(untouched(0));
    EXPECT_TRUE(untouched(1));
}

// The disk fills up during the run: the device reports a general error, the tool says what
// its TFTP server met, and starts no further device (each would fail the same way).
TEST_F(FleetFailures, ADiskThatFillsUpDuringTheRunIsNamedAndStartsNoFurtherDevice)
{
    if (QStandardPaths::findExecutable("unshare").isEmpty())
        GTEST_SKIP() << "no unshare to give the run a small file system of its own";
    constexpr size_t kDevices = 6;
    startSite(tftpPort, {}, kDevices);
    const QString backups = folder.filePath("small");
    ASSERT_TRUE(QDir().mkpath(backups));
    // A private mount of 48 KiB: room for the tool's check and one configuration, not two.
    const QString script = "mount -t tmpfs -o size=48k tmpfs \"$BACKUPS\" || exit 77; exec \"$0\" \"$@\"";
    FleetRunOptions options;
    options.wrapper = {"unshare", "--user", "--map-root-user", "--mount", "sh", "-c", script};
    QProcessEnvironment environment = FleetEnvironment(folder.path());
    environment.insert("BACKUPS", backups);
    // One device at a time, so the device that meets the full disk is the second.
    const FleetResult result = RunFleetTool({"--devices", list(), "--json", "--tftp-port", QString::number(tftpPort),
                                             "--parallel", "1", "backup", backups},
                                            environment, options);
    if (result.exitCode == 77 || result.errors.contains("unshare:"))
        GTEST_SKIP() << "this system lets no process mount a file system of its own: "
                     << result.errors.toStdString();
    EXPECT_EQ(result.exitCode, 1) << result.errors.toStdString();
    ASSERT_EQ(result.outcomes.size(), static_cast<qsizetype>(kDevices)) << result.output.toStdString() << result.errors.toStdString();
    EXPECT_EQ(result.outcome(label(0)).value("result").toString().toStdString(), "saved");
    EXPECT_TRUE(result.outcome(label(1)).value("result").toString().contains(
        "this host's TFTP server: cannot write the file: No space left on device"))
        << result.output.toStdString();
    for (size_t i = 2; i < kDevices; ++i) {
        EXPECT_EQ(result.outcome(label(i)).value("result").toString().toStdString(), "not started") << i;
        EXPECT_TRUE(untouched(i)) << i;
    }
    EXPECT_TRUE(result.errors.contains("vta-fleet: the backup folder " + backups +
                                       " has no room left (No space left on device): no further device was started: "
                                       "1 saved, 1 failed, 4 not started\n"))
        << result.errors.toStdString();
}

TEST_F(FleetFailures, RequestsThatNeverArriveAreNamedWithThePortTheyWereAwaitedOn)
{
    const uint16_t elsewhere = FreeUdpPort();
    startSite(elsewhere);  // the devices send their requests where nobody listens
    const FleetResult result = run({"backup", folder.filePath("backups")});
    EXPECT_EQ(result.exitCode, 1) << result.errors.toStdString();
    for (size_t i = 0; i < 2; ++i) {
        const QString why = result.outcome(label(i)).value("result").toString();
        EXPECT_TRUE(why.startsWith("no TFTP request from the device reached this host's UDP port " +
                                   QString::number(tftpPort)))
            << why.toStdString();
        EXPECT_TRUE(why.contains("--tftp-port")) << why.toStdString();
    }
}

TEST_F(FleetFailures, APortTheToolCannotHaveSaysHowToChooseAnother)
{
    startSite(tftpPort);
    QUdpSocket holder;
    ASSERT_TRUE(holder.bind(QHostAddress::AnyIPv4, tftpPort));
    const FleetResult held = run({"backup", folder.filePath("backups")});
    EXPECT_EQ(held.exitCode, 2);
    EXPECT_TRUE(held.errors.contains("cannot listen on UDP port " + QString::number(tftpPort) +
                                     ": another program holds it (a TFTP server?)"))
        << held.errors.toStdString();
    EXPECT_TRUE(held.errors.contains("--tftp-port PORT")) << held.errors.toStdString();
    EXPECT_FALSE(held.errors.contains("socket!Please"));
    EXPECT_TRUE(untouched(0));

    // The standard port, without the right to bind it.
    FleetRunOptions options;
    options.asNobody = CanRunAsNobody();
    if (!options.asNobody && ::geteuid() == 0)
        GTEST_SKIP() << "cannot run without the right to bind low ports";
    const FleetResult low = RunFleetTool({"--devices", list(), "--tftp-port", "69", "backup", folder.filePath("b2")},
                                         FleetEnvironment(home(options)), options);
    if (low.errors.contains("another program holds it"))
        GTEST_SKIP() << "port 69 is in use on this machine";
    EXPECT_EQ(low.exitCode, 2) << low.errors.toStdString();
    EXPECT_TRUE(low.errors.contains("cannot listen on UDP port 69: ports below 1024 need root or the capability"))
        << low.errors.toStdString();
    EXPECT_TRUE(low.errors.contains("--tftp-port PORT")) << low.errors.toStdString();
}

TEST_F(FleetFailures, AnImageThatCannotBeUsedIsRefusedBeforeAnyDevice)
{
    startSite(tftpPort);
    const QString unreadable = folder.filePath("vta_2.10.tfp");
    WriteFile(unreadable, "VTA-3100QX FW 2.10\n" + QByteArray(2000, 'x'));
    FleetRunOptions options;
    options.asNobody = CanRunAsNobody();
    ASSERT_EQ(::chmod(QFile::encodeName(unreadable).constData(), options.asNobody ? 0600 : 0000), 0);
    const FleetResult denied = run({"upgrade", unreadable}, options);
    EXPECT_EQ(denied.exitCode, 2);
    EXPECT_TRUE(denied.errors.contains("cannot read the image " + unreadable + ": ")) << denied.errors.toStdString();

    const QString empty = folder.filePath("empty.tfp");
    WriteFile(empty, "");
    const FleetResult nothing = run({"upgrade", empty});
    EXPECT_EQ(nothing.exitCode, 2);
    EXPECT_TRUE(nothing.errors.contains("the image " + empty + " is empty")) << nothing.errors.toStdString();

    const QString notAnImage = folder.filePath("vta_2.10.tfp.bak");
    WriteFile(notAnImage, "VTA-3100QX FW 2.10\n");
    EXPECT_EQ(run({"upgrade", notAnImage}).exitCode, 2);
    EXPECT_TRUE(untouched(0));
    EXPECT_TRUE(untouched(1));
}

// An upper-case extension is an image too; a device that already runs the image's version
// is left alone unless --force.
TEST_F(FleetFailures, ADeviceAlreadyAtTheImagesVersionIsSkippedUnlessForced)
{
    startSite(tftpPort);
    const QString image = folder.filePath("VTA_2.10.TFP");
    WriteFile(image, "VTA-3100QX FW 2.10\n" + QByteArray(2000, 'x'));
    const FleetResult first = run({"upgrade", image});
    ASSERT_EQ(first.exitCode, 0) << first.output.toStdString() << first.errors.toStdString();
    EXPECT_EQ(first.outcome(label(0)).value("result").toString(), "upgraded");
    EXPECT_EQ(site->value(0, kFirmware), "2.10");

    const long long upTime = site->value(0, kUpTime).toLongLong();
    const FleetResult again = run({"upgrade", image});
    EXPECT_EQ(again.exitCode, 0) << again.errors.toStdString();
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(again.outcome(label(i)).value("result").toString(), "already 2.10");
        EXPECT_TRUE(again.outcome(label(i)).value("ok").toBool());
    }
    EXPECT_GE(site->value(0, kUpTime).toLongLong(), upTime);  // not restarted

    const FleetResult forced = run({"--force", "upgrade", image});
    EXPECT_EQ(forced.exitCode, 0) << forced.errors.toStdString();
    EXPECT_EQ(forced.outcome(label(1)).value("result").toString(), "upgraded");
    EXPECT_LT(site->value(1, kUpTime).toLongLong(), 500);  // restarted just now
}

TEST_F(FleetFailures, WithoutAWritableHomeTheRuntimeFolderKeepsTheBootsCounter)
{
    startSite(tftpPort);
    const QString notAFolder = folder.filePath("home-is-a-file");
    WriteFile(notAFolder, "");
    QTemporaryDir runtime;
    QProcessEnvironment environment = FleetEnvironment(notAFolder);
    environment.insert("XDG_RUNTIME_DIR", runtime.path());
    const QStringList status{"--devices", list(), "--json", "status"};
    const FleetResult kept = RunFleetTool(status, environment);
    EXPECT_EQ(kept.exitCode, 0) << kept.errors.toStdString();
    EXPECT_TRUE(QFileInfo::exists(runtime.filePath("vta-fleet/QvSNMP_PP_BootCounter")));

    environment.remove("XDG_RUNTIME_DIR");
    const FleetResult nowhere = RunFleetTool(status, environment);
    EXPECT_EQ(nowhere.exitCode, 2);
    EXPECT_TRUE(nowhere.errors.contains("cannot keep the SNMP engine boots counter in " + notAFolder +
                                        "/.local/share/vta-fleet ("))
        << nowhere.errors.toStdString();
    EXPECT_TRUE(nowhere.errors.contains("XDG_RUNTIME_DIR")) << nowhere.errors.toStdString();
}

TEST_F(FleetFailures, AHostNameThatDoesNotResolveReadsTheSameInEverySubCommand)
{
    startSite(tftpPort);
    WriteFile(list(), (label(0) + "\nno-such-ap.invalid\n").toUtf8());
    const QString image = folder.filePath("vta_2.10.tfp");
    WriteFile(image, "VTA-3100QX FW 2.10\n");
    for (const QStringList& command : {QStringList{"status"}, QStringList{"backup", folder.filePath("b")},
                                       QStringList{"upgrade", image}}) {
        const FleetResult result = run(command);
        EXPECT_EQ(result.exitCode, 1) << command.join(' ').toStdString();
        EXPECT_EQ(result.outcome("no-such-ap.invalid").value("result").toString(),
                  "the host name no-such-ap.invalid does not resolve to an IPv4 address")
            << command.join(' ').toStdString();
    }
}

}  // namespace
