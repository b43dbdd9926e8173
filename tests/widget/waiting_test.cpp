#include "support/DialogRecorder.h"
#include "shell/TFM_Waiting.h"
#include "shell/TMainForm.h"

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The wait dialog's ticks, driven by hand. The main window (built without a host, so it
// polls nothing) supplies the status text the dialog reads.
class WaitingTicks : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("VTA_HOST_REGISTRY", folder.filePath("registry.ini").toLocal8Bit());
        QDir::setCurrent(folder.path());
        main = std::make_unique<TMainForm>(std::vector<std::string>{});
    }
    void ready(bool isReady) { main->SetStatusText(isReady ? "Ready. " : "(SNMPClass) SNMP request timed out!"); }
    QString shown(const TFM_Waiting& dialog) const { return dialog.findChild<QLabel*>("La_Time")->text(); }

    QTemporaryDir folder;
    DialogRecorder recorder;
    std::unique_ptr<TMainForm> main;
};

TEST_F(WaitingTicks, WithoutRestartItClosesAtZeroWhenReadyOrAfterFiveOverdueTicks)
{
    TFM_Waiting dialog;
    dialog.SendReboot = false;
    dialog.Countdown = 3;
    dialog.show();
    ready(false);
    dialog.Timer1Timer();
    dialog.Timer1Timer();
    EXPECT_EQ(shown(dialog), "1");
    for (int tick = 1; tick <= 5; ++tick) {  // overdue: the display stays at 1
        dialog.Timer1Timer();
        EXPECT_TRUE(dialog.isVisible()) << tick;
        EXPECT_EQ(shown(dialog), "1");
    }
    dialog.Timer1Timer();  // the sixth overdue tick
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.RebootPending()) << "no restart command without SendReboot";
}

TEST_F(WaitingTicks, CountdownTwoClosesAtTheNextReadyTick)
{
    TFM_Waiting dialog;
    dialog.SendReboot = false;
    dialog.Countdown = 2;
    dialog.show();
    ready(false);
    dialog.Timer1Timer();
    EXPECT_EQ(shown(dialog), "1");
    dialog.Timer1Timer();  // not ready: waits at 1
    EXPECT_TRUE(dialog.isVisible());
    ready(true);
    dialog.Timer1Timer();
    EXPECT_EQ(shown(dialog), "0");
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(WaitingTicks, ReadyEarlyStillCountsDownToTheEnd)
{
    TFM_Waiting dialog;
    dialog.SendReboot = false;
    dialog.Countdown = 4;
    dialog.show();
    ready(true);
    for (int expected : {3, 2, 1}) {
        dialog.Timer1Timer();
        EXPECT_EQ(shown(dialog), QString::number(expected));
        EXPECT_TRUE(dialog.isVisible());
    }
    dialog.Timer1Timer();
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(WaitingTicks, TheCloseBoxWorksOnlyAfterTheCountdown)
{
    TFM_Waiting dialog;
    dialog.SendReboot = false;
    dialog.Countdown = 2;
    dialog.show();
    ready(false);
    dialog.close();
    dialog.reject();
    EXPECT_TRUE(dialog.isVisible());
    dialog.Timer1Timer();  // 1
    dialog.Timer1Timer();
    dialog.Timer1Timer();
    dialog.Timer1Timer();  // three overdue ticks: the close box is honoured now
    EXPECT_TRUE(dialog.isVisible());
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(dialog.Timer1.isActive());
}

TEST_F(WaitingTicks, TheRestartCommandLeavesAtTheTickOfRebootDelay)
{
    TFM_Waiting dialog;
    dialog.RebootDelay = 22;
    dialog.show();
    ready(true);
    for (int tick = 1; tick < 22; ++tick)
        dialog.Timer1Timer();
    EXPECT_TRUE(dialog.RebootPending());
    dialog.Timer1Timer();
    EXPECT_FALSE(dialog.RebootPending());
    dialog.Timer1Timer();
    EXPECT_FALSE(dialog.RebootPending()) << "sent at most once";
}

TEST_F(WaitingTicks, LooksAsItShould)
{
    TFM_Waiting dialog;
    EXPECT_EQ(dialog.windowTitle(), "Please wait");
    EXPECT_EQ(dialog.size(), dialog.Scale().Size(QSize(249, 70))) << "the documented size, scaled by the font";
    EXPECT_EQ(dialog.findChild<QLabel*>("Label2")->text(), "Settings saved.");
    EXPECT_EQ(dialog.findChild<QLabel*>("Label3")->text(), "The device is restarting.");
    EXPECT_EQ(dialog.findChild<QLabel*>("Label1")->text(), "Please waiting for");
    EXPECT_EQ(dialog.Timer1.interval(), 1200);
    EXPECT_EQ(dialog.Countdown, 40);
    EXPECT_EQ(dialog.RebootDelay, 1);
    EXPECT_TRUE(dialog.SendReboot);
}

} // namespace
