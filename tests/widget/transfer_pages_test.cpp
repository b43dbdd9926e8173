// The firmware and configuration-file pages without a device: their forms, their input
// checks (each shows its message and sends nothing), the choice of this PC's address on the
// device's network, and the end of the module when the TFTP port cannot be had.
#include "support/DialogRecorder.h"
#include "support/FreePort.h"
#include "shell/ModuleConstants.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "binding/QvStatusBar.h"
#include "tftp/QvTFTPServer.h"
#include "snmp/SnmpSettings.h"
#include "pages/tools/TFM_CfgFile.h"
#include "pages/tools/TFM_Firmware.h"
#include "shell/TMainForm.h"
#include "platform/TimeScale.h"
#include "pages/tools/TransferPageSupport.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// Failures show texts as texts.
static void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

template <typename Widget = QWidget>
Widget* child(QWidget* page, const char* name)
{
    Widget* widget = page->findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

void click(QWidget* page, const char* button) { child<QPushButton>(page, button)->click(); }
QLineEdit* edit(QWidget* page, const char* name) { return child<QLineEdit>(page, name); }

// A main window without a host (it polls nothing) holding the device's address and mask as
// its capability poll would, and an "agent" socket that counts what the pages send.
class TransferPages : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir::setCurrent(folder.path());
        qputenv("VTA_HOST_REGISTRY", folder.filePath("registry.ini").toLocal8Bit());
        qputenv("VTA_TFTP_PORT", QByteArray::number(FreeUdpPort()));
        main = std::make_unique<TMainForm>(std::vector<std::string>{});
        deviceAt("127.0.0.9", "255.0.0.0");
        SetDefaultSnmpSettings();
        ASSERT_TRUE(agent.bind(QHostAddress::LocalHost, 0));
        QvSNMPDevice.address = "127.0.0.1";
        QvSNMPDevice.port = agent.localPort();
        recorder.messages.clear();
    }
    void TearDown() override { qunsetenv("VTA_TFTP_PORT"); }

    void deviceAt(const QString& address, const QString& mask)
    {
        main->IPAddressEdit->setText(address);
        main->SubMaskEdit->setText(mask);
    }
    QString file(const QString& relative, const QByteArray& content = "x")
    {
        const QString path = folder.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly)) << path.toStdString();
        out.write(content);
        return path;
    }
    // Datagrams that reached the agent, after letting pending events run.
    int sent()
    {
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        int count = 0;
        while (agent.hasPendingDatagrams()) {
            agent.receiveDatagram();
            ++count;
        }
        return count;
    }

    QTemporaryDir folder;
    DialogRecorder recorder;
    std::unique_ptr<TMainForm> main;
    QUdpSocket agent;
};

struct CheckCase {
    const char* what;
    QString path;          // relative to the test folder when it starts with "@"
    QString deviceAddress; // the main window's polled address ("" = not polled yet)
    QString text;
    QString caption;
};

const QString kNoFirmware = "Please put in the firmware file & path.";
const QString kBadFirmware = "Please put in valid firmware file & path.";
const QString kNoServer = "Invalid Server IP Address or SNMP timed out!";
const QString kPathError = "The file path is error.";

TEST_F(TransferPages, FirmwareInputChecksShowTheirMessageAndSendNothing)
{
    file("image.tfp");
    file("image.bin");
    file("IMAGE.TFP");
    file("x.tfp/image.bin");
    const std::vector<CheckCase> cases = {
        {"empty path", "", "127.0.0.9", kNoFirmware, "Warning"},
        {"path ending in /", "@/", "127.0.0.9", kNoFirmware, "Warning"},
        {"path ending in \\", "@\\", "127.0.0.9", kNoFirmware, "Warning"},
        {"no .tfp", "@/image.bin", "127.0.0.9", kBadFirmware, "Warning"},
        {"upper-case extension", "@/IMAGE.TFP", "127.0.0.9", kBadFirmware, "Warning"},
        {"missing image", "@/missing.tfp", "127.0.0.9", kBadFirmware, "Warning"},
        {"a folder, not a file", "@/x.tfp", "127.0.0.9", kBadFirmware, "Warning"},
        // ".tfp" anywhere in the path will do; the next check stops it.
        {"no PC address on the device's network", "@/x.tfp/image.bin", "203.0.113.7", kNoServer, ModelName},
        {"device address not polled yet", "@/image.tfp", "", kNoServer, ModelName},
        {"no folder in the path", "image.tfp", "127.0.0.9", kPathError, "Warning"},
    };
    TFM_Firmware page(main.get());
    ASSERT_TRUE(recorder.messages.empty()) << recorder.texts().join("\n").toStdString();
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.what);
        recorder.messages.clear();
        deviceAt(c.deviceAddress, "255.255.255.0");
        const QString path = c.path.startsWith('@') ? folder.path() + c.path.mid(1) : c.path;
        edit(&page, "Ed_UpgFile")->setText(path);
        click(&page, "Bt_OK");
        ASSERT_EQ(recorder.messages.size(), 1u) << recorder.texts().join("\n").toStdString();
        EXPECT_EQ(recorder.messages[0].text, c.text);
        EXPECT_EQ(recorder.messages[0].caption, c.caption);
        EXPECT_EQ(sent(), 0);
        EXPECT_TRUE(page.TftpServer()->root().isEmpty()) << "no folder is served";
        EXPECT_EQ(edit(&page, "Ed_UpgFile")->text(), path);
    }
}

TEST_F(TransferPages, ConfigurationInputChecksShowTheirMessageAndSendNothing)
{
    file("ap.cfg");
    const QString kEmpty = "Empty file is not accepted.";
    const std::vector<CheckCase> restores = {
        {"empty path", "", "127.0.0.9", kEmpty, "Warning"},
        {"missing file", "@/missing.cfg", "127.0.0.9", "File format error! Please try again!", "Warning"},
        {"no PC address on the device's network", "@/ap.cfg", "203.0.113.7", kNoServer, ModelName},
        // Found relative to the working folder, yet there is no folder to serve.
        {"no folder in the path", "ap.cfg", "127.0.0.9", kPathError, "Warning"},
    };
    const std::vector<CheckCase> backups = {
        {"empty path", "", "127.0.0.9", kEmpty, "Warning"},
        {"no PC address on the device's network", "@/new.cfg", "203.0.113.7", kNoServer, ModelName},
        {"no folder in the path", "new.cfg", "127.0.0.9", kPathError, "Warning"},
    };
    TFM_CfgFile page(main.get());
    ASSERT_TRUE(recorder.messages.empty()) << recorder.texts().join("\n").toStdString();
    for (const auto& [button, pathEdit, list] : {std::tuple{"Bt_OK", "Ed_UpgFile", &restores},
                                                 std::tuple{"Bt_Upload", "Ed_SaveFile", &backups}}) {
        for (const CheckCase& c : *list) {
            SCOPED_TRACE(std::string(button) + ": " + c.what);
            recorder.messages.clear();
            deviceAt(c.deviceAddress, "255.255.255.0");
            edit(&page, pathEdit)->setText(c.path.startsWith('@') ? folder.path() + c.path.mid(1) : c.path);
            click(&page, button);
            ASSERT_EQ(recorder.messages.size(), 1u) << recorder.texts().join("\n").toStdString();
            EXPECT_EQ(recorder.messages[0].text, c.text);
            EXPECT_EQ(recorder.messages[0].caption, c.caption);
            EXPECT_EQ(sent(), 0);
            EXPECT_TRUE(page.TftpServer()->root().isEmpty()) << "no folder is served";
            if (c.text == kNoServer) {
                EXPECT_TRUE(edit(&page, "Ed_TfpSrv")->text().isEmpty()) << "a failed search leaves no address";
            }
        }
    }
    EXPECT_FALSE(page.Backup());
}

TEST_F(TransferPages, ACommandAnsweredAfterTheWaitDialogHasGoneOnlyShowsItsResult)
{
    // The device never answers; the dialog gives up after its 100 steps (1.2 s here) and the
    // command's time-out (3 s) comes after it.
    TimeScale::setFactor(0.01);
    main->SetStatusText("Ready. ");
    const QString image = file("images/vta_2.10.tfp");
    TFM_Firmware page(main.get());
    page.CommandEdits->request.timeout = 300;
    page.CommandEdits->request.retries = 0;
    page.ServerEdits->request.retries = 0;
    edit(&page, "Ed_UpgFile")->setText(image);
    click(&page, "Bt_OK");
    TimeScale::setFactor(1.0);

    EXPECT_EQ(page.Waiting(), nullptr);
    EXPECT_EQ(edit(&page, "Ed_TfpSrv")->text(), "127.0.0.1");
    EXPECT_EQ(page.TftpServer()->root(), folder.filePath("images") + "/") << "the image's folder is served";
    EXPECT_EQ(sent(), 2) << "the file's whereabouts, then the command";
    ASSERT_TRUE(page.CommandEdits->Busy);
    while (page.CommandEdits->Busy)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(page.findChild<QvStatusBar*>("StatusBar")->Panel(0)->Text(), "(SNMPClass) SNMP request timed out!");
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("\n").toStdString();
}

TEST_F(TransferPages, BrowsingFillsThePathsAndARestoreFileClearsTheSavePath)
{
    TFM_CfgFile page(main.get());
    QLineEdit* restore = edit(&page, "Ed_UpgFile");
    QLineEdit* save = edit(&page, "Ed_SaveFile");
    EXPECT_TRUE(save->isReadOnly()) << "a save path comes only from the save dialog";

    recorder.paths = {"/data/ap-backup.cfg"};
    click(&page, "Bt_SavBrw");
    EXPECT_EQ(save->text(), "/data/ap-backup.cfg");
    recorder.paths = {""};  // cancelled
    click(&page, "Bt_Browse");
    EXPECT_EQ(save->text(), "/data/ap-backup.cfg");
    EXPECT_TRUE(restore->text().isEmpty());
    recorder.paths = {"/data/ap.cfg"};
    click(&page, "Bt_Browse");
    EXPECT_EQ(restore->text(), "/data/ap.cfg");
    EXPECT_TRUE(save->text().isEmpty());
    ASSERT_EQ(recorder.files.size(), 3u);
    EXPECT_EQ(recorder.files[0].kind, FileRequest::Save);
    EXPECT_EQ(recorder.files[2].kind, FileRequest::Open);

    TFM_Firmware firmware(main.get());
    recorder.paths = {"/images/vta_2.10.tfp"};
    click(&firmware, "Bt_Browse");
    EXPECT_EQ(edit(&firmware, "Ed_UpgFile")->text(), "/images/vta_2.10.tfp");
    recorder.paths = {""};
    click(&firmware, "Bt_Browse");
    EXPECT_EQ(edit(&firmware, "Ed_UpgFile")->text(), "/images/vta_2.10.tfp");
}

TEST_F(TransferPages, FormsCarryTheDocumentedControls)
{
    struct Control {
        const char* name;
        QString text;  // label, button or group box text; "-" for none
        bool shown;
    };
    auto check = [](QDialog& page, const QString& title, const std::vector<Control>& controls) {
        SCOPED_TRACE(title.toStdString());
        page.show();
        EXPECT_EQ(page.windowTitle(), title);
        for (const Control& c : controls) {
            QWidget* widget = child(&page, c.name);
            if (!widget)
                continue;
            EXPECT_EQ(widget->isVisible(), c.shown) << c.name;
            QString text = "-";
            if (auto* label = qobject_cast<QLabel*>(widget))
                text = label->text();
            else if (auto* button = qobject_cast<QPushButton*>(widget))
                text = button->text();
            else if (auto* box = qobject_cast<QGroupBox*>(widget))
                text = box->title();
            EXPECT_EQ(text, c.text) << c.name;
        }
        auto* command = child<QComboBox>(&page, "CB_TfpCom");
        ASSERT_EQ(command->count(), 4);
        EXPECT_EQ(command->itemText(0), "Connect");
        EXPECT_EQ(command->itemText(3), "Nothing");
        auto* bar = child<QvStatusBar>(&page, "StatusBar");
        ASSERT_EQ(bar->PanelCount(), 1);
        EXPECT_GE(bar->Panel(0)->width(), 50);
        page.close();
    };
    TFM_Firmware firmware(main.get());
    check(firmware, "Tools \\ Firmware",
          {{"La_File", "Upgrade File:", true}, {"Ed_UpgFile", "-", true}, {"Bt_Browse", "Browse", true},
           {"Bt_OK", "OK", true}, {"StatusBar", "-", true}, {"Ed_TfpSrv", "-", false},
           {"CB_TfpCom", "-", false}, {"La_TftpSrv", "Tftp Server:", false}, {"La_UpComm", "TftpComm:", false},
           {"La_UpgrdComm", "UpgrdComm:", false}, {"CB_UpgCom", "-", false}, {"StatusBar1", "-", false},
           {"StatusBar2", "-", false}});
    TFM_CfgFile configuration(main.get());
    check(configuration, "Tools \\ Configuration File",
          {{"Label1", "Download Configuration File ", true},
           {"GB_UpdateFile", "Update Configuration File ", true}, {"Label3", "Update File", true},
           {"Ed_UpgFile", "-", true}, {"Bt_Browse", "Browse", true}, {"Bt_OK", "OK", true},
           {"GB_SaveFile", "Load Settings to Local Hard Drive", true}, {"Label4", "Save File", true},
           {"Ed_SaveFile", "-", true}, {"Bt_SavBrw", "Browse", true}, {"Bt_Upload", "OK", true},
           {"StatusBar", "-", true}, {"Ed_TfpSrv", "-", false}, {"CB_TfpCom", "-", false},
           {"CB_UpgCom", "-", false}, {"La_TftpSrv", "Tftp Server:", false},
           {"La_UpgrdComm", "UpgrdComm:", false}, {"La_UpComm", "TftpComm:", false}});
    EXPECT_FALSE(child(&configuration, "La_TftpSrv")->isEnabled());
}

TEST_F(TransferPages, ClosingStopsTheServerAndFreesItsPort)
{
    const int port = TransferPage::TftpServerPort();
    for (bool firmwarePage : {true, false}) {
        std::unique_ptr<QvPage> page;
        if (firmwarePage)
            page = std::make_unique<TFM_Firmware>(main.get());
        else
            page = std::make_unique<TFM_CfgFile>(main.get());
        QUdpSocket probe;
        EXPECT_FALSE(probe.bind(QHostAddress::LocalHost, port)) << "the page's server holds the port";
        page->show();
        page->close();
        EXPECT_TRUE(probe.bind(QHostAddress::LocalHost, port)) << "closing the page frees it";
    }
}

// A UDP port on 127.0.0.1 held without address reuse, so no other socket can bind it.
class HeldPort {
public:
    HeldPort() : m_fd(::socket(AF_INET, SOCK_DGRAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        socklen_t length = sizeof address;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
    }
    ~HeldPort() { ::close(m_fd); }
    uint16_t port = 0;

private:
    int m_fd;
};

TEST_F(TransferPages, WithoutItsTftpPortAPageSaysSoAndEndsTheModule)
{
    HeldPort held;
    const QString kInitError =
        "TFTP Service Init Error:(QvTFTP) Fail to open socket!Please check if the network is ready.";
    for (const QByteArray& port : {QByteArray::number(held.port), QByteArray("sixty-nine")}) {
        for (bool firmwarePage : {true, false}) {
            SCOPED_TRACE(port.toStdString() + (firmwarePage ? " firmware" : " configuration"));
            qputenv("VTA_TFTP_PORT", port);
            recorder.messages.clear();
            std::unique_ptr<QvPage> page;
            // The module's own event loop: the page is opened from it, as from the menu.
            QTimer open, giveUp;
            open.setSingleShot(true);
            giveUp.setSingleShot(true);
            QObject::connect(&open, &QTimer::timeout, [&] {
                if (firmwarePage)
                    page = std::make_unique<TFM_Firmware>(main.get());
                else
                    page = std::make_unique<TFM_CfgFile>(main.get());
                page->exec();  // as the menu opens it: returns at once, the module is ending
            });
            QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(99); });
            open.start(0);
            giveUp.start(5000);
            EXPECT_EQ(QCoreApplication::exec(), 1) << "the module ends";
            ASSERT_EQ(recorder.messages.size(), 1u);
            EXPECT_EQ(recorder.messages[0].text, kInitError);
        }
    }
}

TEST(TransferServerAddress, TheFirstInterfaceOnTheDevicesNetworkIsChosen)
{
    const std::vector<LocalInterface> interfaces = {
        {"127.0.0.1", "255.0.0.0"}, {"192.168.0.10", "255.255.255.0"}, {"10.1.2.3", "255.0.0.0"},
        {"192.168.0.11", "255.255.255.0"}, {"172.16.5.5", "255.255.0.0"}};
    struct Case {
        QString address, mask, expected;
    };
    const std::vector<Case> cases = {
        {"192.168.0.50", "255.255.255.0", "192.168.0.10"},  // first of two on that network
        {"10.200.1.1", "255.0.0.0", "10.1.2.3"},
        // Each side uses its own mask: 10.9.0.0 is not the interface's 10.0.0.0.
        {"10.9.9.9", "255.255.0.0", ""},
        {"172.16.200.1", "255.255.0.0", "172.16.5.5"},
        {"192.168.1.50", "255.255.255.0", ""},
        {"", "255.255.255.0", ""},              // not polled yet
        {"192.168.0.50", "", ""},
        {"192.168.0.50", "(NULL)", ""},
        {"192.168.0.300", "255.255.255.0", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TransferPage::ServerAddressFor(interfaces, c.address, c.mask), c.expected)
            << c.address.toStdString() << "/" << c.mask.toStdString();

    // Only the first ten interfaces count.
    std::vector<LocalInterface> many(10, LocalInterface{"192.168.9.1", "255.255.255.0"});
    many.push_back({"10.0.0.1", "255.0.0.0"});
    EXPECT_EQ(TransferPage::ServerAddressFor(many, "10.0.0.2", "255.0.0.0"), "");
}

} // namespace
