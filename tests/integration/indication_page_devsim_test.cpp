#include "support/DeviceTools.h"
#include "support/PageTestKit.h"
#include "platform/TimeScale.h"
#include "snmp/SnmpSettings.h"

#include "binding/QvStatusBar.h"
#include "pages/status/TIndicationForm.h"
#include "snmp/ErrorCatalogue.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

// The indication page against the simulated device.
namespace {

QString panelText(TIndicationForm& page) { return child<QvStatusBar>(&page, "StatusBar1")->Panel(0)->Text(); }

// A simulator per case: each starts with its own arguments.
class IndicationPage : public ::testing::Test {
protected:
    void start(const QStringList& arguments)
    {
        TimeScale::setFactor(0.05);
        device = std::make_unique<DevsimAgent>(arguments);
        ASSERT_TRUE(device->start()) << device->error();
        AimAt(device->port());
    }
    void TearDown() override
    {
        TimeScale::setFactor(1.0);
        SetDefaultSnmpSettings();
    }
    DialogRecorder recorder;
    std::unique_ptr<DevsimAgent> device;
};

TEST_F(IndicationPage, ShowsCelsiusAndTruncatedFahrenheit)
{
    struct Case {
        QStringList arguments;
        QString celsius;
        QString fahrenheit;
        int bar;
    };
    const Case cases[] = {
        {{"--temperature", "50"}, "50", "122", 50},
        {{"--temperature", "42"}, "42", "107", 42},
        {{"--temperature", "-7"}, "-7", "20", 0},   // -63 / 5 truncates to -12; below the bar: empty
        {{"--temperature", "-40"}, "-40", "-40", 0},
        {{"--without", "temperature"}, "50", "122", 50},  // no value: the middle of the scale
        // A faulty sensor: beyond the bar's end it is full, and the figure is still right.
        {{"--temperature", "200"}, "200", "392", 160},
        {{"--temperature", "2147483647"}, "2147483647", "3865470596", 160},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        start(c.arguments);
        TIndicationForm page;
        ASSERT_TRUE(waitFor([&] { return page.RefreshDone; }));
        EXPECT_EQ(child<QLabel>(&page, "Lab_Tempreture")->text(), c.celsius);
        EXPECT_EQ(child<QLabel>(&page, "LAB_Tempretureh")->text(), c.fahrenheit);
        EXPECT_EQ(child<QProgressBar>(&page, "ProgressBar1")->value(), c.bar);
        EXPECT_EQ(page.CurrentLayout(), TIndicationForm::Layout::Collapsed);
        EXPECT_EQ(page.height(), page.Scale().Y(184));  // designed, scaled by the font
        EXPECT_FALSE(child<QGroupBox>(&page, "GroupBox2")->isVisibleTo(&page));
    }
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
}

TEST_F(IndicationPage, ShowsTheSignalOnlyForABridgeToOneRemoteAccessPoint)
{
    struct Case {
        const char* name;
        bool signalObject;
        int mode;
        int partners;
        bool expanded;
    };
    const Case cases[] = {
        {"AP Client, one partner", true, 5, 1, true},
        {"AP Client, two partners", true, 5, 2, false},
        {"Access Point, one partner", true, 1, 1, false},
        {"no signal object", false, 5, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList arguments;
        if (c.signalObject)
            arguments << "--signal-strength" << "67";
        start(arguments);
        ASSERT_TRUE(ToolSet(device->port(), VTA_OID(".2.1.1.1.1"), "i", QString::number(c.mode)));
        for (int slot = 1; slot <= c.partners; ++slot)
            ASSERT_TRUE(ToolSet(device->port(), QString(VTA_OID(".2.2.1.2.1.%1")).arg(slot), "x",
                                QString("00112233445%1").arg(slot)));
        TIndicationForm page;
        EXPECT_EQ(page.SignalStrengthAvailable, c.signalObject);
        EXPECT_EQ(page.CurrentLayout() == TIndicationForm::Layout::Expanded, c.expanded);
        EXPECT_EQ(child<QGroupBox>(&page, "GroupBox2")->isVisibleTo(&page), c.expanded);
        EXPECT_EQ(page.height(), page.Scale().Y(c.expanded ? 250 : 184));
        if (c.expanded) {
            EXPECT_EQ(child<QLabel>(&page, "LA_RSSI_a")->text(), "67");
            EXPECT_EQ(child<QProgressBar>(&page, "ProgressBar2")->value(), 67);
            EXPECT_EQ(child<QPushButton>(&page, "CloseButton")->y(), page.Scale().Y(200));
        }
        waitFor([&] { return page.RefreshDone; });
    }
}

class SlowIndication : public PageAgainstDevice {
protected:
    QStringList deviceArguments() const override { return {"--delay-ms", "200"}; }
};

TEST_F(SlowIndication, RefreshesByItselfAndRefusesClosingWhileAReadIsOutstanding)
{
    TIndicationForm page;
    page.show();
    EXPECT_FALSE(page.RefreshDone);
    child<QPushButton>(&page, "CloseButton")->click();
    EXPECT_TRUE(page.isVisible());
    ASSERT_TRUE(waitFor([&] { return page.RefreshDone; }));
    EXPECT_EQ(child<QLabel>(&page, "LAB_Tempretureh")->text(), "107");

    // Every 10 s (here 0.5 s) the page reads again and says so meanwhile.
    ASSERT_TRUE(waitFor([&] { return panelText(page) == "Refresh..."; }, 3000));
    page.close();
    EXPECT_TRUE(page.isVisible());
    ASSERT_TRUE(waitFor([&] { return page.RefreshDone; }));
    EXPECT_NE(panelText(page), "Refresh...");
    page.close();
    EXPECT_FALSE(page.isVisible());
}

using IndicationWithoutDevice = PageWithoutDevice;

TEST_F(IndicationWithoutDevice, KeepsItsFiguresShowsTheTimeOutAndCloses)
{
    QElapsedTimer clock;
    clock.start();
    TIndicationForm page;
    page.show();
    // The two waiting reads (signal strength, mode) at most.
    EXPECT_LT(clock.elapsed(), 2 * 2 * kTimeout * 10 + 1500);
    ASSERT_TRUE(waitFor([&] { return page.RefreshDone; }, 5000));
    EXPECT_TRUE(panelText(page).contains("timed out")) << panelText(page).toStdString();
    EXPECT_EQ(child<QLabel>(&page, "LAB_Tempretureh")->text(), "235");
    EXPECT_EQ(page.CurrentLayout(), TIndicationForm::Layout::Collapsed);
    page.close();
    EXPECT_FALSE(page.isVisible());
}

// A read that cannot even be sent (the address resolves to nothing) leaves nothing to wait
// for: the page says why and closes at once.
TEST_F(IndicationWithoutDevice, ARefreshThatCannotBeSentNeverKeepsThePageOpen)
{
    QvSNMPDevice.address = "no-such-host.invalid";
    TIndicationForm page;
    page.show();
    EXPECT_EQ(page.StatusBar()->SimpleText(), "(QvSNMP++) Invalid IP Address or DNS name!");
    EXPECT_TRUE(page.RefreshDone);
    // The timer's refresh fails the same way, in the status bar and without a message box.
    page.StatusBar()->SetSimpleText({});
    ASSERT_TRUE(waitFor([&] { return !page.StatusBar()->SimpleText().isEmpty(); }, 3000));
    EXPECT_EQ(page.StatusBar()->SimpleText(), "(QvSNMP++) Invalid IP Address or DNS name!");
    EXPECT_TRUE(page.RefreshDone);
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
    page.close();
    EXPECT_FALSE(page.isVisible());
}

} // namespace
