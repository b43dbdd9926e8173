// The firmware and configuration-file pages against the simulated device: the device fetches
// or stores the files through the pages' TFTP server, answers the command, and the wait
// dialog restarts it. Timers run at a twentieth of their time, so countdowns take seconds.
#include "support/ChildProcess.h"
#include "support/DevsimAgent.h"
#include "support/TftpdServer.h"
#include "support/DialogRecorder.h"
#include "support/FileContents.h"
#include "support/PageTestKit.h"
#include "snmp/ErrorCatalogue.h"
#include "support/FreePort.h"
#include "binding/QvStatusBar.h"
#include "snmp/SnmpSession.h"
#include "pages/tools/TFM_CfgFile.h"
#include "pages/tools/TFM_Firmware.h"
#include "shell/TFM_Waiting.h"
#include "shell/TMainForm.h"
#include "tftp/QvTFTPServer.h"
#include "platform/TimeScale.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <fstream>
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString kPrivate = "1.3.6.1.4.1.32473.10.37.24";
const QString kFirmwareVersion = kPrivate + ".4.1.1.1.0";
const QString kRemoteServer = kPrivate + ".3.3.1.0";
const QString kRemoteFile = kPrivate + ".3.3.2.0";
const QString kLocalFile = kPrivate + ".3.3.3.0";
const QString kSysName = "1.3.6.1.2.1.1.5.0";
const QString kSsidSetting = kPrivate + ".1.1.1.1.1";
const QString kSsidRunning = kPrivate + ".4.1.2.1.1.1";

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
}

// A TFTP request from a host of the test's choosing (any 127.0.0.0/8 address is this
// machine), and the first answer to it.
class StrayRequest {
public:
    StrayRequest(const char* fromAddress, uint16_t opcode, const QByteArray& name, uint16_t port)
    {
        m_socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in from{};
        from.sin_family = AF_INET;
        ::inet_pton(AF_INET, fromAddress, &from.sin_addr);
        ::bind(m_socket, reinterpret_cast<sockaddr*>(&from), sizeof from);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        QByteArray datagram;
        datagram.append(char(0)).append(char(opcode)).append(name).append('\0').append("octet").append('\0');
        ::sendto(m_socket, datagram.constData(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    ~StrayRequest() { ::close(m_socket); }
    StrayRequest(const StrayRequest&) = delete;
    StrayRequest& operator=(const StrayRequest&) = delete;

    // The answer, waiting for it while the module's event loop runs.
    QByteArray answer(int timeoutMs = 3000)
    {
        QByteArray bytes(600, Qt::Uninitialized);
        ssize_t size = -1;
        waitFor([&] { return (size = ::recv(m_socket, bytes.data(), bytes.size(), MSG_DONTWAIT)) >= 0; }, timeoutMs);
        bytes.resize(std::max<ssize_t>(size, 0));
        return bytes;
    }

private:
    int m_socket = -1;
};

QByteArray ErrorPacket(uint16_t code)
{
    return QByteArray("\0\5\0", 3).append(char(code)).append('\0');
}

class TransferPagesAgainstDevice : public ModuleAgainstDevice {
protected:
    // The device's LAN lies on loopback, so the pages find this PC in its network.
    QStringList deviceArguments() const override
    {
        return {"--lan", "127.0.0.1/255.0.0.0", "--tftp-port", QString::number(tftpPort)};
    }
    void SetUp() override
    {
        tftpPort = FreeUdpPort();
        qputenv("VTA_TFTP_PORT", QByteArray::number(tftpPort));
        ModuleAgainstDevice::SetUp();
    }
    void TearDown() override
    {
        ModuleAgainstDevice::TearDown();
        qunsetenv("VTA_TFTP_PORT");
    }

    uint16_t tftpPort = 0;
};


TEST_F(TransferPagesAgainstDevice, FirmwareUpgradeServesTheImageAndRestartsTheDevice)
{
    const QString image = folder.filePath("images/vta_new.tfp");
    QDir(folder.path()).mkdir("images");
    writeFile(image, "VTA-3100QX FW 2.10\n" + QByteArray(3000, '\x5a'));  // six blocks

    TFM_Firmware page(main.get());
    recorder.paths.push_back(image);
    child<QPushButton>(&page, "Bt_Browse")->click();
    ASSERT_EQ(child<QLineEdit>(&page, "Ed_UpgFile")->text(), image);

    WaitWatcher watcher;
    child<QPushButton>(&page, "Bt_OK")->click();  // returns when the wait dialog has closed

    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("\n").toStdString();
    EXPECT_EQ(watcher.lines, QStringList({"Updating firmware file...!", "The device is restarting..."}));
    EXPECT_EQ(page.findChild<QvStatusBar*>("StatusBar")->Panel(0)->Text(), "Update firmware successfully!");
    EXPECT_EQ(child<QLineEdit>(&page, "Ed_UpgFile")->text(), image) << "the full path is shown again";
    EXPECT_EQ(child<QLineEdit>(&page, "Ed_TfpSrv")->text(), "127.0.0.1");
    EXPECT_EQ(device->value(kRemoteFile), "vta_new.tfp") << "the device is given the bare file name";
    EXPECT_EQ(device->value(kRemoteServer), "127.0.0.1");
    // The new image runs only after the restart the wait dialog sent.
    deviceShows(kFirmwareVersion, "2.10");
}

// While the page serves the image, only the device's read of it is answered: another host
// of this machine, another file of the folder and a write of the image are refused.
TEST_F(TransferPagesAgainstDevice, DuringAnUpgradeOnlyTheDevicesFetchOfTheImageIsServed)
{
    QDir(folder.path()).mkdir("images");
    const QString image = folder.filePath("images/vta_new.tfp");
    const QByteArray content = "VTA-3100QX FW 2.10\n" + QByteArray(1500, '\x5a');
    writeFile(image, content);
    writeFile(folder.filePath("images/private.txt"), "not for the network");

    TFM_Firmware page(main.get());
    child<QLineEdit>(&page, "Ed_UpgFile")->setText(image);
    std::vector<std::unique_ptr<StrayRequest>> strays;
    // Sent while the wait dialog stands, that is while the device fetches the image.
    WaitWatcher watcher;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        const bool waiting = std::any_of(windows.begin(), windows.end(), [](QWidget* widget) {
            return qobject_cast<TFM_Waiting*>(widget) && widget->isVisible();
        });
        if (!waiting || !strays.empty())
            return;
        strays.push_back(std::make_unique<StrayRequest>("127.0.0.2", 1, "vta_new.tfp", tftpPort));
        strays.push_back(std::make_unique<StrayRequest>("127.0.0.1", 1, "private.txt", tftpPort));
        strays.push_back(std::make_unique<StrayRequest>("127.0.0.1", 2, "vta_new.tfp", tftpPort));
    });
    sampler.start(5);
    child<QPushButton>(&page, "Bt_OK")->click();
    sampler.stop();

    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("\n").toStdString();
    EXPECT_EQ(watcher.lines, QStringList({"Updating firmware file...!", "The device is restarting..."}));
    deviceShows(kFirmwareVersion, "2.10");
    ASSERT_EQ(strays.size(), 3u) << "the wait dialog was never seen";
    for (const auto& stray : strays)
        EXPECT_EQ(stray->answer(), ErrorPacket(2));
    EXPECT_EQ(FileContents(image), content) << "the refused write changed the image";
    EXPECT_EQ(page.TftpServer()->sessionCount(), 0u);
}

TEST_F(TransferPagesAgainstDevice, AnOlderImageShowsTheDevicesRefusalAndTheDowngradeMessage)
{
    const QString image = folder.filePath("vta_old.tfp");
    writeFile(image, "VTA-3100QX FW 1.50\n" + QByteArray(600, '\x11'));

    TFM_Firmware page(main.get());
    child<QLineEdit>(&page, "Ed_UpgFile")->setText(image);
    WaitWatcher watcher;
    QElapsedTimer clock;
    clock.start();
    child<QPushButton>(&page, "Bt_OK")->click();

    ASSERT_EQ(recorder.messages.size(), 1u) << recorder.texts().join("\n").toStdString();
    EXPECT_EQ(recorder.messages[0].text,
              "The device is already running firmware rev 2.xx and cannot be downgraded to firmware rev 1.xx");
    EXPECT_EQ(recorder.messages[0].caption, "Warning");
    EXPECT_EQ(page.findChild<QvStatusBar*>("StatusBar")->Panel(0)->Text(),
              "(SNMP) Cannot download the overdue firmware!");
    EXPECT_EQ(watcher.lines, QStringList({"Updating firmware file...!"})) << "no restart";
    // The dialog stands at 1 after the refusal and closes at the next ready tick: far
    // earlier than its 100 steps (6 s here).
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_EQ(device->value(kFirmwareVersion), "2.05");
}

TEST_F(TransferPagesAgainstDevice, BackupArrivesAsTheDeviceSendsItAndARestoreChangesTheDevice)
{
    // Backup into a folder of the PC.
    QDir(folder.path()).mkdir("saved");
    const QString saved = folder.filePath("saved/ap.cfg");
    {
        TFM_CfgFile page(main.get());
        recorder.paths.push_back(saved);
        child<QPushButton>(&page, "Bt_SavBrw")->click();
        EXPECT_EQ(child<QLineEdit>(&page, "Ed_SaveFile")->text(), saved);
        child<QPushButton>(&page, "Bt_Upload")->click();
        EXPECT_TRUE(child<QLineEdit>(&page, "Ed_SaveFile")->text().isEmpty());
        EXPECT_TRUE(child<QLineEdit>(&page, "Ed_UpgFile")->text().isEmpty());
        EXPECT_TRUE(page.Backup());
        // A restore asked for while the device still answers the backup is ignored: its
        // answer would otherwise be taken for the restore's and restart the device.
        WaitWatcher watcher;
        const QString other = folder.filePath("other.cfg");
        writeFile(other, "{}");
        child<QLineEdit>(&page, "Ed_UpgFile")->setText(other);
        child<QPushButton>(&page, "Bt_OK")->click();
        EXPECT_TRUE(page.Backup());
        EXPECT_EQ(page.findChild<QvStatusBar*>("StatusBar")->Panel(0)->Text(), QvPage::kBusyText);
        ASSERT_TRUE(waitFor([&] { return !recorder.messages.empty(); }, 15000));
        EXPECT_TRUE(watcher.lines.isEmpty());
        ASSERT_EQ(recorder.messages.size(), 1u) << recorder.texts().join("\n").toStdString();
        EXPECT_EQ(recorder.messages[0].text, "The configuration file saved successfully!");
        EXPECT_EQ(recorder.messages[0].caption, "OK");
        EXPECT_EQ(page.findChild<QvStatusBar*>("StatusBar")->Panel(0)->Text(), QString::fromStdString(MapStatus(0).text));
        EXPECT_EQ(device->value(kLocalFile), "ap.cfg");
    }
    const QByteArray backup = FileContents(saved);
    ASSERT_FALSE(backup.isEmpty());

    // The same device stores the same configuration with tftp-hpa's server on the port the
    // page has left: both files must be byte for byte the same.
    {
        TftpdServer reference;
        std::string error;
        ASSERT_TRUE(reference.start(error, tftpPort)) << error;
        ASSERT_EQ(set({Bind(kRemoteServer, SnmpType::IpAddress, std::string("\x7f\x00\x00\x01", 4)),
                       Bind(kLocalFile, SnmpType::OctetString, "reference.cfg")})
                      .status,
                  0);
        ASSERT_EQ(set({Bind(kPrivate + ".3.3.5.0", SnmpType::Integer, {}, 3)}, 1000).status, 0);
        EXPECT_EQ(FileContents(reference.path("reference.cfg")), backup);
    }

    // Restore a changed copy: the device takes it at once and runs it after the restart.
    QJsonObject configuration = QJsonDocument::fromJson(backup).object();
    ASSERT_EQ(configuration.value("kind").toString(), "configuration");
    QJsonObject variables = configuration.value("variables").toObject();
    ASSERT_TRUE(variables.contains(kSsidSetting) && variables.contains(kSysName));
    for (const auto& [oid, value] : {std::pair{kSsidSetting, "RestoredAP"}, std::pair{kSysName, "restored-ap"}}) {
        QJsonObject entry = variables.value(oid).toObject();
        entry["value"] = value;
        variables[oid] = entry;
    }
    configuration["variables"] = variables;
    const QString restore = folder.filePath("restore.cfg");
    writeFile(restore, QJsonDocument(configuration).toJson());

    recorder.messages.clear();
    TFM_CfgFile page(main.get());
    recorder.paths.push_back(restore);
    child<QPushButton>(&page, "Bt_Browse")->click();
    WaitWatcher watcher;
    child<QPushButton>(&page, "Bt_OK")->click();

    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("\n").toStdString();
    EXPECT_FALSE(page.Backup());
    EXPECT_EQ(watcher.lines, QStringList({"Updating configuration file...!", "The device is restarting..."}));
    EXPECT_EQ(page.findChild<QvStatusBar*>("StatusBar")->Panel(0)->Text(), "Update successfully!");
    EXPECT_EQ(child<QLineEdit>(&page, "Ed_UpgFile")->text(), restore);
    EXPECT_EQ(device->value(kRemoteFile), "restore.cfg");
    EXPECT_EQ(device->value(kSysName), "restored-ap");
    deviceShows(kSsidRunning, "RestoredAP");
}

TEST_F(TransferPagesAgainstDevice, FailedTransfersSayWhyAndChangeNothing)
{
    const QString sysNameBefore = device->value(kSysName);
    const QString foreign = folder.filePath("notes.txt");
    writeFile(foreign, "not a configuration\n");
    // A folder where the backup's file should go: the server cannot create the file.
    QDir(folder.path()).mkpath("saved/blocked.cfg");

    TFM_CfgFile page(main.get());
    child<QLineEdit>(&page, "Ed_UpgFile")->setText(foreign);
    WaitWatcher watcher;
    child<QPushButton>(&page, "Bt_OK")->click();
    ASSERT_EQ(recorder.messages.size(), 1u) << recorder.texts().join("\n").toStdString();
    EXPECT_EQ(recorder.messages[0].text, "The configuration file updated fail!");
    EXPECT_EQ(recorder.messages[0].caption, "ERROR");
    EXPECT_EQ(page.findChild<QvStatusBar*>("StatusBar")->Panel(0)->Text(),
              "(SNMP) Cannot create/set variable, Wrong Value!");
    EXPECT_EQ(watcher.lines, QStringList({"Updating configuration file...!"})) << "no restart";

    recorder.messages.clear();
    recorder.paths.push_back(folder.filePath("saved/blocked.cfg"));
    child<QPushButton>(&page, "Bt_SavBrw")->click();
    child<QPushButton>(&page, "Bt_Upload")->click();
    ASSERT_TRUE(waitFor([&] { return !recorder.messages.empty(); }, 15000));
    EXPECT_EQ(recorder.messages[0].text, "Fail to save the configuration file!");
    EXPECT_EQ(recorder.messages[0].caption, "ERROR");
    EXPECT_EQ(page.findChild<QvStatusBar*>("StatusBar")->Panel(0)->Text(),
              "(SNMP) Cannot perform operation, General Error!")  // the device's reply to a transfer the server refused
        << page.findChild<QvStatusBar*>("StatusBar")->Panel(0)->Text().toStdString();
    EXPECT_EQ(device->value(kSysName), sysNameBefore);
}

} // namespace
