#include "shell/DevicePicture.h"
#include "support/DevsimAgent.h"
#include "snmp/ErrorCatalogue.h"
#include "support/DialogRecorder.h"
#include "support/PageTestKit.h"
#include "shell/StatusLamps.h"
#include "snmp/SnmpSession.h"
#include "snmp/SnmpTarget.h"
#include "shell/TFM_Waiting.h"
#include "shell/TMainForm.h"
#include "platform/TimeScale.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <gtest/gtest.h>

namespace {

const QString kStLed = "1.3.6.1.4.1.32473.10.37.24.4.4.0";

// The module started as the host starts it, against the simulated device. The parameter file
// (which alone carries the agent port for SNMPv1 and SNMPv2c) is read before every argument
// after the address, so each start passes at least one more switch.
class MainWindowAgainstDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(device.start()) << device.error();
        QDir::setCurrent(folder.path());
        qputenv("VTA_LOCK_DIR", folder.path().toLocal8Bit());
        qputenv("VTA_HOST_REGISTRY", folder.filePath("registry.ini").toLocal8Bit());
        std::ofstream(folder.filePath("registry.ini").toStdString())
            << "[SOFTWARE\\Corvane\\Orvant5.1\\MibFile]\nPath=" << folder.path().toStdString() << "/\n";
        std::ofstream(folder.filePath("127.0.0.1.cfg").toStdString())
            << "[Program Information]\nAgentPort=" << device.port() << "\nVersion=1\n";
    }

    std::vector<QColor> lamps(const TMainForm& form) const
    {
        const DevicePicture& p = *form.picture();
        return {p.Sh_power->color(), p.Sh_Lan->color(), p.Sh_11g->color(), p.Sh_11a->color()};
    }

    QTemporaryDir folder;
    DevsimAgent device;
    DialogRecorder recorder;
};

TEST_F(MainWindowAgainstDevice, ReachesReadyAndLightsTheLampsTheDeviceReports)
{
    TMainForm form({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    ASSERT_EQ(form.outcome(), TMainForm::StartOutcome::Running) << recorder.texts().join("\n").toStdString();
    EXPECT_EQ(form.windowTitle(), "VTA-3100QX : 127.0.0.1");
    ASSERT_TRUE(waitFor([&] { return form.StatusText() == "Ready. "; }, 5000)) << form.StatusText().toStdString();

    const int flags = device.value(kStLed).toInt();
    const QColor on = StatusLamp::kOn, off = StatusLamp::kOff;
    // Lit lamps follow their on-bits; a blinking lamp may be caught in either phase.
    const std::vector<QColor> shown = lamps(form);
    const int onBits[] = {1, 4, 16, 64}, blinkBits[] = {2, 8, 32, 128};
    for (int i = 0; i < 4; ++i) {
        if (!(flags & blinkBits[i])) {
            EXPECT_EQ(shown[i], (flags & onBits[i]) ? on : off) << "lamp " << i << " flags " << flags;
        }
    }
    EXPECT_TRUE(flags & 1) << "the device reports its power lamp";

    // The capability poll fills the hidden edits the pages read.
    ASSERT_TRUE(waitFor([&] { return !form.IPAddressEdit->text().isEmpty(); }, 5000));
    EXPECT_EQ(form.IPAddressEdit->text().toStdString(),
              device.value("1.3.6.1.4.1.32473.10.37.24.1.2.2.0").toStdString());
    EXPECT_FALSE(form.Ed_FwVer->text().isEmpty());
    EXPECT_FALSE(form.IPAddressEdit->isVisible());
}

TEST_F(MainWindowAgainstDevice, ASilentDeviceBlanksTheLampsAndSaysWhy)
{
    TimeScale::setFactor(0.05);  // status poll every 150 ms
    {
        TMainForm form({"/I127.0.0.1", "/Rpublic"});
        ASSERT_TRUE(waitFor([&] { return form.StatusText() == "Ready. "; }, 5000));
        device.stop();
        ASSERT_TRUE(waitFor([&] { return form.StatusText() == "(SNMPClass) SNMP request timed out!"; }, 10000))
            << form.StatusText().toStdString();
        EXPECT_EQ(lamps(form), std::vector<QColor>(4, StatusLamp::kOff));
        EXPECT_FALSE(form.lamps()->Timer2.isActive());

        // The Status menu offers "Client Info" only after a probe; with the built-in
        // time-out text the device is still probed, and a failed probe keeps the item.
        recorder.messages.clear();
        form.StatusMenuShow();
        EXPECT_TRUE(form.menuItem("Client Info")->isVisible());
        EXPECT_TRUE(recorder.messages.empty()) << "opening a menu shows no box of a failed probe";
    }
    TimeScale::setFactor(1.0);
}

TEST_F(MainWindowAgainstDevice, WithTheHostsWordingATimedOutDeviceLosesClientInfoWithoutAProbe)
{
    // The host's message files say "SNMP request timed out!" for a time-out.
    std::ofstream(folder.filePath("snmpclass.err").toStdString()) << "1\n2\n3\n4\nSNMP request timed out!\n";
    ASSERT_TRUE(LoadMessageFile(MessageTable::SnmpClass, folder.filePath("snmpclass.err").toStdString()));
    TimeScale::setFactor(0.05);
    {
        TMainForm form({"/I127.0.0.1", "/Rpublic"});
        ASSERT_TRUE(waitFor([&] { return form.StatusText() == "Ready. "; }, 5000));
        device.stop();
        ASSERT_TRUE(waitFor([&] { return form.StatusText() == "SNMP request timed out!"; }, 10000));
        recorder.messages.clear();
        QElapsedTimer clock;
        clock.start();
        form.StatusMenuShow();
        EXPECT_FALSE(form.menuItem("Client Info")->isVisible());
        EXPECT_LT(clock.elapsed(), 500) << "no probe of a device that is gone";
        EXPECT_TRUE(recorder.messages.empty());
    }
    TimeScale::setFactor(1.0);
    ResetMessageTables();
}

TEST_F(MainWindowAgainstDevice, ClientInfoFollowsTheDevicesAnswer)
{
    TMainForm form({"/I127.0.0.1", "/Rpublic"});
    ASSERT_TRUE(waitFor([&] { return form.StatusText() == "Ready. "; }, 5000));
    form.lamps()->Timer2Timer();  // copies the status text
    form.StatusMenuShow();
    const QString supported = device.value("1.3.6.1.4.1.32473.10.37.24.99.1.1.7.0");
    EXPECT_EQ(form.menuItem("Client Info")->isVisible(), supported == "1") << supported.toStdString();
    EXPECT_EQ(form.Ifclientinfosupported->text(), supported);
}

// The wait dialog sends the restart itself, the device goes silent, and the dialog closes
// only once the status reads "Ready. " again.
TEST_F(MainWindowAgainstDevice, TheWaitDialogRestartsTheDeviceAndWaitsForIt)
{
    TimeScale::setFactor(0.2);  // ticks of 240 ms, status poll every 600 ms
    {
        DevsimAgent restarting({"--restart-seconds", "3"});
        ASSERT_TRUE(restarting.start()) << restarting.error();
        std::ofstream(folder.filePath("127.0.0.1.cfg").toStdString())
            << "[Program Information]\nAgentPort=" << restarting.port() << "\nVersion=1\n";
        TMainForm form({"/I127.0.0.1", "/Rpublic"});
        ASSERT_TRUE(waitFor([&] { return form.StatusText() == "Ready. "; }, 5000));
        auto upTime = [&] {
            SnmpVarBind vb;
            ParseOid("1.3.6.1.2.1.1.3.0", vb.oid);
            const SnmpResponse r = SnmpSession::global().request(
                BuildTarget(SnmpConnection::current(), 100, 1), PduKind::Get, {vb});
            return r.status == 0 && !r.vbs.empty() ? r.vbs[0].integer : -1;
        };
        QTest::qWait(1500);
        const int64_t uptimeBefore = upTime();
        ASSERT_GT(uptimeBefore, 100);

        TFM_Waiting dialog(&form);
        QElapsedTimer clock;
        clock.start();
        dialog.exec();
        EXPECT_FALSE(dialog.RebootPending());
        EXPECT_EQ(dialog.Countdown, 0);
        EXPECT_EQ(form.StatusText(), "Ready. ");
        EXPECT_LT(clock.elapsed(), 20000);
        const int64_t uptimeAfter = upTime();
        EXPECT_GE(uptimeAfter, 0);
        // Up longer than the whole wait had it not restarted.
        EXPECT_LT(uptimeAfter, uptimeBefore + clock.elapsed() / 10 - 200) << "sysUpTime restarted";
    }
    TimeScale::setFactor(1.0);
}

// A poll sent while the device was silent waits 6 s for its time-out; the next one does not
// wait for it, so "Ready. " returns about one interval after the device does.
TEST_F(MainWindowAgainstDevice, ReadyReturnsOneIntervalAfterTheDeviceDoes)
{
    TimeScale::setFactor(0.7);  // status poll every 2.1 s; its time-out stays 6 s
    {
        DevsimAgent restarting({"--restart-seconds", "8"});
        ASSERT_TRUE(restarting.start()) << restarting.error();
        std::ofstream(folder.filePath("127.0.0.1.cfg").toStdString())
            << "[Program Information]\nAgentPort=" << restarting.port() << "\nVersion=1\n";
        TMainForm form({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
        ASSERT_TRUE(waitFor([&] { return form.StatusText() == "Ready. "; }, 8000));
        SnmpVarBind restart;
        ParseOid("1.3.6.1.4.1.32473.10.37.24.3.2.1.0", restart.oid);
        restart.type = SnmpType::Integer;
        restart.integer = 1;
        ASSERT_EQ(SnmpSession::global().request(BuildTarget(SnmpConnection::current(), 100, 0), PduKind::Set, {restart})
                      .status,
                  0);
        ASSERT_TRUE(waitFor([&] { return form.StatusText() == "(SNMPClass) SNMP request timed out!"; }, 12000))
            << "silent longer than a poll's time-out: " << form.StatusText().toStdString();
        auto answers = [&] {
            SnmpVarBind vb;
            ParseOid("1.3.6.1.2.1.1.3.0", vb.oid);
            return SnmpSession::global().request(BuildTarget(SnmpConnection::current(), 5, 0), PduKind::Get, {vb}).status
                   == 0;
        };
        ASSERT_TRUE(waitFor(answers, 15000)) << "the device never came back";
        QElapsedTimer clock;
        clock.start();
        ASSERT_TRUE(waitFor([&] { return form.StatusText() == "Ready. "; }, 10000));
        // Waiting for the poll that went out while the device was silent would take up to 6 s.
        EXPECT_LT(clock.elapsed(), 3000) << "Ready. came back " << clock.elapsed() << " ms after the device";
    }
    TimeScale::setFactor(1.0);
}

} // namespace
