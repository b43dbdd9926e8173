// vta-fleet against a site of simulated devices: a sound one, a silent one, one that does
// not know the write community it is given, one that runs a newer firmware than the image
// and one that drops a tenth of its requests.
#include "support/ChildProcess.h"
#include "support/DevsimSite.h"
#include "support/FreePort.h"

#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString kSysName = "1.3.6.1.2.1.1.5.0";
const QString kFirmware = "1.3.6.1.4.1.32473.10.37.24.4.1.1.1.0";
const QString kUpTime = "1.3.6.1.2.1.1.3.0";
enum Device { kSound, kSilent, kWrongCommunity, kNewer, kLossy };

struct FleetRun {
    int exitCode = -1;
    QJsonArray outcomes;
    QString errors;
};

// vta-fleet over a device list, with its answers as JSON; HOME is the given folder (the SNMP
// boots counter goes there).
FleetRun RunFleetTool(const QString& home, const QString& list, uint16_t tftpPort, const QStringList& arguments)
{
    QProcess fleet;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home);
    fleet.setProcessEnvironment(environment);
    fleet.start(QStringLiteral(VTA_BIN_DIR) + "/vta-fleet",
                QStringList{"--devices", list, "--json", "--tftp-port", QString::number(tftpPort)} + arguments);
    FleetRun result;
    if (!fleet.waitForFinished(240000)) {
        fleet.kill();
        fleet.waitForFinished();
        return result;
    }
    result.exitCode = fleet.exitStatus() == QProcess::NormalExit ? fleet.exitCode() : -1;
    result.errors = QString::fromUtf8(fleet.readAllStandardError());
    result.outcomes = QJsonDocument::fromJson(fleet.readAllStandardOutput()).array();
    return result;
}

class FleetSite : public ::testing::Test {
protected:
    void SetUp() override
    {
        tftpPort = FreeUdpPort();
        const QStringList common{"--restart-seconds", "1", "--tftp-port", QString::number(tftpPort)};
        std::vector<QStringList> devices;
        for (int i = 0; i < 5; ++i) {
            const QString state = folder.filePath("in-" + QString::number(i) + ".json");
            std::vector<std::pair<QString, std::pair<QString, QString>>> values{
                {kSysName, {"string", "ap-" + QString::number(i)}}};
            if (i == kNewer)
                values.push_back({kFirmware, {"string", "3.00"}});
            WriteDevsimState(state, values);
            devices.push_back(common + QStringList{"--state-in", state});
        }
        devices[kSilent] << "--drop-percent" << "100";
        devices[kWrongCommunity] << "--write-community" << "secret";
        devices[kLossy] << "--drop-percent" << "10";
        site = std::make_unique<DevsimSite>(devices);
        ASSERT_TRUE(site->start()) << site->error();
        QFile list(folder.filePath("site.txt"));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write("# the test site\n");
        for (size_t i = 0; i < site->size(); ++i)
            list.write((label(i) + " /Rpublic /Wprivate\n").toUtf8());
    }

    QString label(size_t device) const { return site->address(device) + ":" + QString::number(site->port()); }

    FleetRun run(const QStringList& arguments)
    {
        return RunFleetTool(folder.path(), folder.filePath("site.txt"), tftpPort, arguments);
    }

    QJsonObject outcome(const FleetRun& run, size_t device) const
    {
        for (const QJsonValue& entry : run.outcomes)
            if (entry.toObject().value("device").toString() == label(device))
                return entry.toObject();
        return {};
    }

    QTemporaryDir folder;
    uint16_t tftpPort = 0;
    std::unique_ptr<DevsimSite> site;
};

TEST_F(FleetSite, StatusReportsEveryDeviceAndFailsForTheSilentOne)
{
    const FleetRun result = run({"status"});
    EXPECT_EQ(result.exitCode, 1) << result.errors.toStdString();
    ASSERT_EQ(result.outcomes.size(), 5) << result.errors.toStdString();
    for (size_t i : {kSound, kWrongCommunity, kNewer, kLossy}) {
        const QJsonObject row = outcome(result, i);
        EXPECT_TRUE(row.value("ok").toBool()) << i;
        EXPECT_EQ(row.value("result").toString(), "reachable");
        EXPECT_EQ(row.value("name").toString(), "ap-" + QString::number(i));
        EXPECT_EQ(row.value("power").toString(), "on");
        EXPECT_EQ(row.value("radio1").toString(), "blinking");  // three stations
    }
    EXPECT_EQ(outcome(result, kNewer).value("firmware").toString(), "3.00");
    EXPECT_EQ(outcome(result, kSound).value("firmware").toString(), "2.05");
    const QJsonObject silent = outcome(result, kSilent);
    EXPECT_FALSE(silent.value("ok").toBool());
    EXPECT_EQ(silent.value("result").toString(), "(SNMPClass) SNMP request timed out!");
}

TEST_F(FleetSite, BackupStoresEachDevicesOwnConfigurationAndNothingForTheFailures)
{
    QTemporaryDir backups;
    // A run that was killed left each device's temporary file behind, longer than any
    // configuration: it is written over or removed, never kept or appended to.
    for (size_t i : {kSound, kSilent, kWrongCommunity, kNewer, kLossy}) {
        QFile leftover(backups.filePath(".vta-fleet-" + QString(label(i)).replace(':', '_') + ".part"));
        ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
        leftover.write(QByteArray(200000, 'x'));
    }
    const FleetRun result = run({"backup", backups.path()});
    EXPECT_EQ(result.exitCode, 1) << result.errors.toStdString();
    ASSERT_EQ(result.outcomes.size(), 5) << result.errors.toStdString();

    QStringList stored;
    for (QDirIterator it(backups.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
        stored << it.next();
    EXPECT_EQ(stored.size(), 3) << stored.join(", ").toStdString();  // no temporary or partial file

    for (size_t i : {kSound, kNewer, kLossy}) {
        const QJsonObject row = outcome(result, i);
        ASSERT_TRUE(row.value("ok").toBool()) << i << " " << row.value("result").toString().toStdString();
        const QString path = row.value("file").toString();
        EXPECT_TRUE(path.startsWith(backups.path() + "/" + QString(label(i)).replace(':', '_') + "/"));
        EXPECT_TRUE(path.endsWith("Z.cfg")) << path.toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QJsonObject backup = QJsonDocument::fromJson(file.readAll()).object();
        EXPECT_EQ(backup.value("kind").toString(), "configuration");
        // Every setting the device stored is the device's own, as it stands now.
        const QJsonObject variables = backup.value("variables").toObject();
        const QJsonObject state = site->state(i);
        ASSERT_GT(variables.size(), 100);
        for (auto it = variables.begin(); it != variables.end(); ++it)
            EXPECT_EQ(it.value(), state.value(it.key())) << i << " " << it.key().toStdString();
        EXPECT_EQ(variables.value(kSysName).toObject().value("value").toString(), "ap-" + QString::number(i));
    }
    for (size_t i : {kSilent, kWrongCommunity}) {
        const QJsonObject row = outcome(result, i);
        EXPECT_FALSE(row.value("ok").toBool()) << i;
        EXPECT_TRUE(row.value("result").toString().contains("timed out")) << row.value("result").toString().toStdString();
        EXPECT_FALSE(row.contains("file"));
    }
}

TEST_F(FleetSite, UpgradeRestartsTheDevicesThatTookTheImageAndReportsTheRefusal)
{
    QFile image(folder.filePath("vta_2.10.tfp"));
    ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    image.write("VTA-3100QX FW 2.10\n" + QByteArray(3000, 'x'));
    image.close();
    const QString upTimeBefore = site->value(kNewer, kUpTime);

    const FleetRun result = run({"--max-parallel", "2", "upgrade", image.fileName()});
    EXPECT_EQ(result.exitCode, 1) << result.errors.toStdString();
    ASSERT_EQ(result.outcomes.size(), 5) << result.errors.toStdString();
    for (size_t i : {kSound, kLossy}) {
        const QJsonObject row = outcome(result, i);
        EXPECT_TRUE(row.value("ok").toBool()) << i << " " << row.value("result").toString().toStdString();
        EXPECT_EQ(row.value("before").toString(), "2.05");
        EXPECT_EQ(row.value("after").toString(), "2.10");
        EXPECT_EQ(site->value(i, kFirmware), "2.10");
    }
    const QJsonObject newer = outcome(result, kNewer);
    EXPECT_FALSE(newer.value("ok").toBool());
    EXPECT_TRUE(newer.value("result").toString().startsWith("refused: the device runs a newer firmware"))
        << newer.value("result").toString().toStdString();
    EXPECT_EQ(site->value(kNewer, kFirmware), "3.00");
    EXPECT_GT(site->value(kNewer, kUpTime).toLongLong(), upTimeBefore.toLongLong());  // never restarted
    EXPECT_FALSE(outcome(result, kSilent).value("ok").toBool());
    EXPECT_FALSE(outcome(result, kWrongCommunity).value("ok").toBool());
    EXPECT_EQ(site->value(kWrongCommunity, kFirmware), "2.05");
}

// Three sound devices that restart in a second.
class SoundSite : public ::testing::Test {
protected:
    void SetUp() override
    {
        tftpPort = FreeUdpPort();
        const QStringList options{"--restart-seconds", "1", "--tftp-port", QString::number(tftpPort)};
        site = std::make_unique<DevsimSite>(std::vector<QStringList>(3, options));
        ASSERT_TRUE(site->start()) << site->error();
        QFile file(list());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (size_t i = 0; i < site->size(); ++i)
            file.write((site->address(i) + ":" + QString::number(site->port()) + " /Rpublic /Wprivate\n").toUtf8());
    }

    QString list() const { return folder.filePath("site.txt"); }

    // The devices' up times in hundredths of a second, smallest first.
    std::vector<long long> upTimes()
    {
        std::vector<long long> times;
        for (size_t i = 0; i < site->size(); ++i)
            times.push_back(site->value(i, kUpTime).toLongLong());
        std::sort(times.begin(), times.end());
        return times;
    }

    QTemporaryDir folder;
    uint16_t tftpPort = 0;
    std::unique_ptr<DevsimSite> site;
};

// The limit holds the restarts apart: with one at a time each device is back before the next
// fetches the image, so the devices booted at least a restart's second apart; without it
// they all boot within a moment.
TEST_F(SoundSite, MaxParallelLimitsHowManyDevicesRestartAtOnce)
{
    QFile image(folder.filePath("vta_2.10.tfp"));
    ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    image.write("VTA-3100QX FW 2.10\n" + QByteArray(2000, 'x'));
    image.close();
    for (const int limit : {3, 1}) {
        SCOPED_TRACE("--max-parallel " + std::to_string(limit));
        const FleetRun result =
            // --force: after the first round the devices already run the image's version.
            RunFleetTool(folder.path(), list(), tftpPort,
                         {"--force", "--max-parallel", QString::number(limit), "upgrade", image.fileName()});
        ASSERT_EQ(result.exitCode, 0) << result.errors.toStdString();
        const std::vector<long long> times = upTimes();
        ASSERT_EQ(times.size(), 3u);
        if (limit == 1) {
            EXPECT_GE(times[1] - times[0], 90);
            EXPECT_GE(times[2] - times[1], 90);
        } else {
            EXPECT_LT(times[2] - times[0], 90);
        }
        // Without a terminal there is no progress line to spoil the output.
        EXPECT_FALSE(result.errors.contains("done")) << result.errors.toStdString();
    }
}

// On a terminal the tool shows how far it is on one line, rewritten in place, and leaves it
// with a line end.
TEST_F(SoundSite, OnATerminalAProgressLineCountsTheDevices)
{
    int terminal = -1, child = -1;
    ASSERT_EQ(openpty(&terminal, &child, nullptr, nullptr, nullptr), 0);
    const std::string program = std::string(VTA_BIN_DIR) + "/vta-fleet";
    const std::string listPath = list().toStdString();
    const std::string home = "HOME=" + folder.path().toStdString();
    std::vector<std::string> arguments{program, "--devices", listPath, "status"};
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<char*> envp{const_cast<char*>(home.c_str())};
    for (char** variable = environ; *variable; ++variable)
        if (std::strncmp(*variable, "HOME=", 5) != 0)
            envp.push_back(*variable);
    envp.push_back(nullptr);

    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const int nothing = open("/dev/null", O_WRONLY);
        dup2(nothing, STDOUT_FILENO);
        dup2(child, STDERR_FILENO);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    close(child);
    std::string shown;
    for (;;) {
        pollfd waiting{terminal, POLLIN, 0};
        if (poll(&waiting, 1, 30000) <= 0)
            break;
        char buffer[512];
        const ssize_t n = read(terminal, buffer, sizeof buffer);
        if (n <= 0)
            break;  // the program has ended and closed the terminal
        shown.append(buffer, static_cast<size_t>(n));
    }
    close(terminal);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_NE(shown.find("\rstatus: 1 of 3 done, 0 failed"), std::string::npos) << shown;
    const size_t last = shown.find("\rstatus: 3 of 3 done, 0 failed");
    ASSERT_NE(last, std::string::npos) << shown;
    EXPECT_NE(shown.find('\n', last), std::string::npos) << shown;
}

TEST(FleetCommandLine, BadInputEndsWithStatusTwoAndAMessage)
{
    QTemporaryDir folder;
    QFile list(folder.filePath("site.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("10.0.0.1 nonsense\n");
    list.close();
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{"status"}, "no devices"},
        {{"--devices", list.fileName()}, "no sub-command"},
        {{"--devices", list.fileName(), "status"}, "line 1"},
        {{"--devices", folder.filePath("none"), "status"}, "cannot read the device list"},
        {{"--devices", list.fileName(), "backup"}, "needs the folder"},
        {{"--devices", list.fileName(), "--parallel", "0", "status"}, "--parallel"},
    };
    for (const auto& c : cases) {
        ChildProcess fleet;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", folder.path());
        ASSERT_TRUE(fleet.start(QStringLiteral(VTA_BIN_DIR) + "/vta-fleet", c.arguments, environment));
        EXPECT_EQ(fleet.waitForExit(10000), 2) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(fleet.output().contains(c.message)) << fleet.output().toStdString();
    }
}

}  // namespace

namespace {

// Two devices of one simulator with a user of the same name and pass phrases of their own:
// each device is an SNMPv3 engine of its own, so each line's pass phrases reach only its
// device, also across the restarts of an upgrade (each device counts its own boots).
TEST(FleetSiteV3, OneUserNameWithEachDevicesOwnPassPhrases)
{
    QTemporaryDir folder;
    const uint16_t tftpPort = FreeUdpPort();
    std::vector<QStringList> devices;
    for (const char* phrase : {"first-pass", "second-pass"})
        devices.push_back({"--restart-seconds", "1", "--tftp-port", QString::number(tftpPort), "--user",
                           QString("admin:SHA:%1:DES:%1-priv").arg(phrase)});
    DevsimSite site(devices);
    ASSERT_TRUE(site.start()) << site.error();
    auto label = [&](size_t i) { return site.address(i) + ":" + QString::number(site.port()); };
    auto list = [&](const QString& name, const char* first, const char* second) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        for (const auto& [device, phrase] : {std::pair{0, first}, std::pair{1, second}})
            file.write(QString("%1 /v3 /nadmin /l2 /a2 /A%2 /p1 /P%2-priv\n").arg(label(device), phrase).toUtf8());
        return file.fileName();
    };
    const QString own = list("own.txt", "first-pass", "second-pass");
    const QString crossed = list("crossed.txt", "second-pass", "first-pass");

    const FleetRun status = RunFleetTool(folder.path(), own, tftpPort, {"status"});
    EXPECT_EQ(status.exitCode, 0) << status.errors.toStdString();
    const FleetRun wrong = RunFleetTool(folder.path(), crossed, tftpPort, {"status"});
    EXPECT_EQ(wrong.exitCode, 1);
    ASSERT_EQ(wrong.outcomes.size(), 2);
    for (const QJsonValue& entry : wrong.outcomes)
        EXPECT_EQ(entry.toObject().value("result").toString(), "(SNMPv3USM) Authentication failure!");

    QFile image(folder.filePath("vta_2.10.tfp"));
    ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    image.write("VTA-3100QX FW 2.10\n");
    image.close();
    const FleetRun upgrade = RunFleetTool(folder.path(), own, tftpPort, {"upgrade", image.fileName()});
    EXPECT_EQ(upgrade.exitCode, 0) << upgrade.errors.toStdString();
    for (const QJsonValue& entry : upgrade.outcomes)
        EXPECT_EQ(entry.toObject().value("after").toString(), "2.10");
    EXPECT_EQ(RunFleetTool(folder.path(), own, tftpPort, {"status"}).exitCode, 0);
}

}  // namespace
