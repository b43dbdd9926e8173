#include "support/OwnNetwork.h"
#include "support/PageTestKit.h"

#include "pages/home/TFM_LanCfg.h"
#include "ui_TFM_LanCfg.h"
#include "shell/Validators.h"
#include "snmp/SnmpSettings.h"
#include "support/SnmpLibrary.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

// The LAN page against the simulated device: which rows each mode shows, and how a new
// static address is kept clear of the device's DHCP server and of hosts that answer.
namespace {

const QString kIpFrom = PrivateOid(".1.2.1.0");
const QString kAddress = PrivateOid(".1.2.2.0");
const QString kRestart = PrivateOid(".3.2.1.0");
QString LeaseIp(int row) { return PrivateOid(".2.7.3.1.2.%1").arg(row); }

constexpr uint8_t kInteger = 2;
constexpr uint8_t kIpAddress = 0x40;

std::string Packed(uint8_t a, uint8_t b, uint8_t c, uint8_t d) { return std::string{char(a), char(b), char(c), char(d)}; }

class LanPage : public ModuleAgainstDevice {
protected:
    void apply(TFM_LanCfg& page, const QString& address)
    {
        page.ui->ED_IpAddr->setText(address);
        page.ui->BT_LanCfgOk->click();
    }
    QString lastMessage() const
    {
        return recorder.messages.empty() ? QString() : recorder.messages.back().text;
    }
};

TEST_F(LanPage, DhcpModeHidesTheAddressRowsAndGoingStaticRestartsInTheSameSet)
{
    ASSERT_EQ(set({Bind(kIpFrom, kInteger, {}, 2)}).status, 0);
    WaitWatcher waits;
    TFM_LanCfg page(main.get());
    page.show();
    for (QWidget* row : std::initializer_list<QWidget*>{page.ui->ED_IpAddr, page.ui->LA_SubnetMask, page.ui->ED_DefGw})
        EXPECT_TRUE(row->isHidden());
    page.ui->CB_IPFrom->setCurrentIndex(0);
    emit page.ui->CB_IPFrom->activated(0);
    EXPECT_FALSE(page.ui->ED_IpAddr->isHidden());
    EXPECT_FALSE(page.ui->LA_DefGW->isHidden());

    // The unchanged address: no probe, no lease walk, one wait of 40 with the restart.
    ASSERT_TRUE(waitFor([&] { return page.ui->Ed_PoolRan->text() == "50"; }, 5000));
    page.ui->BT_LanCfgOk->click();
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
    EXPECT_EQ(waits.dialogsShown, 1);
    EXPECT_EQ(waits.firstCountdowns, QStringList({"40"}));
    EXPECT_TRUE(waits.lines.contains("The system IP will be 192.168.0.50"));
    EXPECT_TRUE(deviceShows(kIpFrom, "1"));
}

TEST_F(LanPage, CancelAtTheDhcpConfirmationSendsNothing)
{
    TFM_LanCfg page(main.get());
    page.show();
    page.ui->CB_IPFrom->setCurrentIndex(1);
    recorder.answers.push_back(DialogResult::Cancel);
    page.ui->BT_LanCfgOk->click();
    EXPECT_EQ(lastMessage(), "Device will reboot,continue?");
    QCoreApplication::processEvents();
    EXPECT_EQ(device->value(kIpFrom), "1");
}

// Going to DHCP mode writes the mode with the restart and leaves the address rows alone.
TEST_F(LanPage, DhcpModeApplyWritesTheModeAndRestartsWithoutTheAddress)
{
    TFM_LanCfg page(main.get());
    page.show();
    ASSERT_TRUE(waitFor([&] { return page.ui->Ed_PoolRan->text() == "50"; }, 5000));
    page.ui->CB_IPFrom->setCurrentIndex(1);
    page.ui->ED_IpAddr->setText("192.168.0.77");  // typed, then the mode changed: not written
    WaitWatcher waits;
    page.ui->BT_LanCfgOk->click();
    EXPECT_EQ(recorder.texts(), QStringList({"Device will reboot,continue?"}));
    EXPECT_EQ(waits.dialogsShown, 1);
    EXPECT_EQ(waits.firstCountdowns, QStringList({"40"}));
    EXPECT_TRUE(deviceShows(kIpFrom, "2"));
    EXPECT_EQ(device->value(kAddress), "192.168.0.50");
}

TEST(LanPageWithoutPool, ApplyRefusesWhenThePoolCouldNotBeRead)
{
    // A device that answers nothing: the page cannot know the pool and says so.
    DevsimAgent deaf({"--drop-percent", "100"});
    ASSERT_TRUE(deaf.start()) << deaf.error();
    StartSnmpLibraryOnce();
    SetDefaultSnmpSettings();
    QvSNMPDevice.address = "127.0.0.1";
    QvSNMPDevice.port = deaf.port();
    QvSNMPSecurity.version = 1;
    DialogRecorder recorder;
    TFM_LanCfg page;
    page.ui->CB_IPFrom->setCurrentIndex(0);
    page.ui->ED_IpAddr->setText("192.168.0.60");
    page.ui->ED_SubMask->setText("255.255.255.0");
    page.ui->ED_DefGw->setText("192.168.0.1");
    page.ui->BT_LanCfgOk->click();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_TRUE(recorder.messages[0].text.startsWith("The DHCP server's dynamic pool could not be read"));
}

// Whatever passes the pool check is probed; that runs where no echo can leave the machine.
TEST(LanPageProbes, RunInANetworkOfTheirOwn)
{
    if (InOwnNetwork())
        GTEST_SKIP() << "the run inside the namespace";
    const OwnNetworkRun run = RunInOwnNetwork("LanPageInNamespace*.*");
    if (!run.started)
        GTEST_SKIP() << "network namespaces are not allowed here: " << run.output.toStdString();
    EXPECT_TRUE(run.passed) << run.output.toStdString();
}

class LanPageInNamespace : public LanPage {
protected:
    void SetUp() override
    {
        if (!InOwnNetwork())
            GTEST_SKIP() << "runs inside the namespace LanPageProbe makes";
        LanPage::SetUp();
    }
};

// The probe of a silent address waits up to three seconds: the window's timers (and so its
// painting and its exchanges) go on meanwhile.
TEST_F(LanPageInNamespace, TheProbeLetsTheWindowLiveWhileItWaits)
{
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(IsAddressInUse("10.9.8.77"));
    EXPECT_GE(clock.elapsed(), 2900);
    EXPECT_GE(ticks, 40);
}

TEST_F(LanPageInNamespace, ProbeRefusesAnAnsweringAddress)
{
    EXPECT_TRUE(IsAddressInUse("127.0.0.9"));
    EXPECT_TRUE(IsAddressInUse("10.9.8.1"));
    EXPECT_FALSE(IsAddressInUse("10.9.8.77"));

    WaitWatcher waits;
    TFM_LanCfg page(main.get());
    page.show();
    ASSERT_TRUE(waitFor([&] { return page.ui->Ed_PoolRan->text() == "50"; }, 5000));
    page.ui->ED_DefGw->setText("10.9.8.254");
    apply(page, "10.9.8.1");
    ASSERT_EQ(recorder.messages.size(), 1u) << recorder.texts().join("|").toStdString();
    EXPECT_EQ(lastMessage(), "Reject: The IP already has been used.");
    EXPECT_EQ(page.ui->ED_IpAddr->text(), "192.168.0.50");
    EXPECT_EQ(waits.dialogsShown, 0);

    // Leading zeros are decimal everywhere: the probe, the checks and the write all mean 10.9.8.77.
    page.ui->ED_DefGw->setText("10.9.8.254");
    page.ui->ED_SubMask->setText("255.255.255.0");
    apply(page, "010.009.008.077");
    EXPECT_EQ(recorder.messages.size(), 1u) << recorder.texts().join("|").toStdString();
    EXPECT_EQ(waits.firstCountdowns, QStringList({"12", "5"}));
    EXPECT_TRUE(waits.lines.contains("Judge the IP whether can be used."));
    EXPECT_TRUE(deviceShows(kAddress, "10.9.8.77"));
}

TEST_F(LanPageInNamespace, AnAddressMustLieOutsideTheDynamicPoolAndItsStaticLeases)
{
    // Pool 192.168.0.100 + 50; two static leases, one of them right after the pool.
    ASSERT_EQ(set({Bind(LeaseIp(3), kIpAddress, Packed(192, 168, 0, 150)),
                   Bind(LeaseIp(9), kIpAddress, Packed(192, 168, 0, 99))})
                  .status,
              0);
    TFM_LanCfg page(main.get());
    page.show();
    ASSERT_TRUE(waitFor([&] { return page.ui->Ed_PoolRan->text() == "50"; }, 5000));

    struct Case {
        const char* address;
        const char* message;
    };
    const Case cases[] = {
        {"192.168.0.149", "Reject: The IP conflicts with Dynamic DHCP Server IP"},
        {"192.168.0.100", "Reject: The IP conflicts with Dynamic DHCP Server IP"},
        {"192.168.0.150", "Reject: The IP conflicts with Static DHCP Server IP"},
        {"192.168.0.99", "Reject: The IP conflicts with Static DHCP Server IP"},
        {"127.0.0.1", "Please input valid IP Address."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address);
        recorder.messages.clear();
        apply(page, c.address);
        ASSERT_EQ(recorder.messages.size(), 1u) << recorder.texts().join("|").toStdString();
        EXPECT_EQ(lastMessage(), c.message);
        EXPECT_EQ(recorder.messages.back().caption, "Warning");
        if (QString(c.message).startsWith("Reject")) {
            EXPECT_EQ(page.ui->ED_IpAddr->text(), "192.168.0.50") << "read again from the device";
        }
    }
    // An address is compared as a number: leading zeros name the same lease. A hexadecimal part
    // is no decimal number at all (once it passed as 10 and was written as 0).
    for (const char* address : {"192.168.000.150", "192.168.0.099"}) {
        recorder.messages.clear();
        apply(page, address);
        EXPECT_EQ(lastMessage(), "Reject: The IP conflicts with Static DHCP Server IP") << address;
    }
    for (const char* address : {"0x0A.0.0.1", "$C0.168.0.60"}) {
        recorder.messages.clear();
        apply(page, address);
        EXPECT_TRUE(lastMessage().endsWith("is not a valid integer value")) << address << ": "
                                                                            << lastMessage().toStdString();
    }
    // Nothing of it reached the device.
    EXPECT_EQ(device->value(kAddress), "192.168.0.50");
    EXPECT_EQ(device->value(kRestart), "0");

    // A subnet mask that is not a run of ones is refused and cleared.
    page.ui->ED_SubMask->setText("255.255.255.255");
    recorder.messages.clear();
    apply(page, "192.168.0.60");
    EXPECT_EQ(lastMessage(), "Please input valid Subnet Mask.");
    EXPECT_EQ(page.ui->ED_SubMask->text(), "");
}

// The device loses the first datagram of the lease walk: the walk asks again a second later,
// and the Apply waits for it rather than refusing the address as unchecked.
class LanPageInNamespaceLosingADatagram : public LanPageInNamespace {
protected:
    // The walk's requests name every column; the test's own set of a lease names only the IP.
    QStringList deviceArguments() const override { return {"--drop-once", PrivateOid(".2.7.3.1.9")}; }
};

TEST_F(LanPageInNamespaceLosingADatagram, TheLeaseWalkOutlastsOneLostDatagram)
{
    // Addresses outside the namespace's network: the probe ends at once.
    ASSERT_EQ(set({Bind(LeaseIp(3), kIpAddress, Packed(10, 20, 30, 40))}).status, 0);
    WaitWatcher waits;
    TFM_LanCfg page(main.get());
    page.show();
    ASSERT_TRUE(waitFor([&] { return page.ui->Ed_PoolRan->text() == "50"; }, 5000));
    page.ui->ED_DefGw->setText("10.20.30.1");
    apply(page, "10.20.30.40");
    EXPECT_EQ(recorder.texts(), QStringList({"Reject: The IP conflicts with Static DHCP Server IP"}));
    EXPECT_EQ(page.ui->Static_ListView->topLevelItemCount(), 16) << "one walk, each lease once";
    EXPECT_EQ(waits.firstCountdowns, QStringList({"12"}));
}

} // namespace
