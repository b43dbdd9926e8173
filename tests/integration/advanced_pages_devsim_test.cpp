// The grouping and performance pages against vta-devsim: what they read, the checks that keep
// bad input from the device, what they write and in which order, the restart that follows,
// and the performance page's probing of the optional radio features.
#include "support/PageTestKit.h"

#include "binding/FormScale.h"
#include "pages/advanced/TFM_Group.h"
#include "pages/advanced/TFM_Performace.h"
#include "binding/ControlEvents.h"
#include "binding/QvStatusBar.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace {

const QString kUserLimit = PrivateOid(".2.6.2.0");
const QString kLoadBalance = PrivateOid(".2.6.1.0");
QString RadioOid(const char* column) { return PrivateOid(QString(".2.3.1.%1.1").arg(column)); }

class GroupPage : public ModuleAgainstDevice {};

TEST_F(GroupPage, ReadsTheDeviceAndKeepsTheUserLimitReadOnlyWhileLoadBalancingIsOff)
{
    TFM_Group page(main.get());
    EXPECT_EQ(child<QComboBox>(&page, "CB_LoadB")->currentText(), "Disable");
    EXPECT_EQ(child<QLineEdit>(&page, "Ed_UsrL")->text(), "32");
    EXPECT_EQ(child<QComboBox>(&page, "CB_LinkInt")->currentText(), "Disable");
    EXPECT_EQ(child<QLineEdit>(&page, "Ed_EthLS")->text(), "Up");
    EXPECT_TRUE(child<QLineEdit>(&page, "Ed_UsrL")->isReadOnly());
    EXPECT_TRUE(child<QLineEdit>(&page, "Ed_EthLS")->isReadOnly());

    child<QComboBox>(&page, "CB_LoadB")->setCurrentIndex(1);
    page.CB_LoadBChange();
    EXPECT_FALSE(child<QLineEdit>(&page, "Ed_UsrL")->isReadOnly());
    child<QComboBox>(&page, "CB_LoadB")->setCurrentIndex(-1);  // no selection keeps the edit as it is
    page.CB_LoadBChange();
    EXPECT_FALSE(child<QLineEdit>(&page, "Ed_UsrL")->isReadOnly());
}

TEST_F(GroupPage, RefusesUserLimitsOutsideZeroToSixtyFourAndSendsTheBoundsWithARestart)
{
    TFM_Group page(main.get());
    for (const QString& refused : {QString(""), QString("65")}) {
        recorder.messages.clear();
        child<QLineEdit>(&page, "Ed_UsrL")->setText(refused);
        page.Bt_ApplyClick();
        ASSERT_EQ(recorder.messages.size(), 1u) << refused.toStdString();
        EXPECT_EQ(recorder.messages[0].text, "Please input a number between 0 and 64.");
        EXPECT_EQ(recorder.messages[0].caption, "Error");
        EXPECT_EQ(child<QLineEdit>(&page, "Ed_UsrL")->text(), "");
    }
    EXPECT_EQ(device->value(kUserLimit), "32");

    // Load balancing off: the edit cannot be typed into, but its value is checked and sent.
    WaitWatcher watcher;
    child<QLineEdit>(&page, "Ed_UsrL")->setText("0");
    page.Bt_ApplyClick();
    EXPECT_TRUE(deviceShows(kUserLimit, "0"));
    EXPECT_EQ(watcher.dialogsShown, 1);

    child<QComboBox>(&page, "CB_LoadB")->setCurrentIndex(1);
    child<QLineEdit>(&page, "Ed_UsrL")->setText("64");
    // The link state is shown only, never written: not even a text that differs from the
    // device's goes out.
    child<QLineEdit>(&page, "Ed_EthLS")->setText("Down");
    page.Bt_ApplyClick();
    EXPECT_TRUE(deviceShows(kUserLimit, "64"));
    EXPECT_TRUE(deviceShows(kLoadBalance, "1"));
    EXPECT_EQ(watcher.dialogsShown, 2);
    EXPECT_EQ(device->value(PrivateOid(".2.6.4.0")), "Up");
}

class GroupPageRefused : public ModuleAgainstDevice {
protected:
    QStringList deviceArguments() const override { return {"--refuse-set", kUserLimit + "=5"}; }
};

TEST_F(GroupPageRefused, AFailedSetSaysSoAndDoesNotRestart)
{
    TFM_Group page(main.get());
    WaitWatcher watcher;
    child<QLineEdit>(&page, "Ed_UsrL")->setText("10");
    page.Bt_ApplyClick();
    EXPECT_EQ(page.StatusBar()->SimpleText(), "Setting Error!");
    EXPECT_EQ(watcher.dialogsShown, 0);
}

class PerformancePage : public ModuleAgainstDevice {};

TEST_F(PerformancePage, ShowsEveryFeatureTheDeviceAnswersAndLaysOutRatesAndChannels)
{
    TFM_Performace page(main.get());
    const PerformanceRadio& radio = page.RadioA;
    EXPECT_TRUE(radio.xrSupported && radio.autoScanSupported && radio.wmmSupported && radio.antennaSupported);
    EXPECT_FALSE(radio.La_XR->isHidden());
    EXPECT_FALSE(radio.CB_WMM->isHidden());
    EXPECT_FALSE(radio.CB_Antenna->isHidden());
    EXPECT_FALSE(radio.CboxShortPre->isHidden());
    EXPECT_TRUE(radio.CB_AuSc->isHidden());  // set on the wireless page, not here
    // The short-preamble row took the place of the hidden auto-scan row, below XR (rows are
    // designed pixels apart, scaled by the font).
    EXPECT_EQ(DesignedGeometry(radio.LabelShortPre).y(), DesignedGeometry(radio.La_XR).y() + 32);
    EXPECT_EQ(radio.LabelShortPre->y(), page.Scale().Y(DesignedGeometry(radio.La_XR).y() + 32));

    EXPECT_EQ(child<QTabWidget>(&page, "PC_Performace")->tabText(0), "IEEE 802.11g");
    EXPECT_FALSE(child<QTabWidget>(&page, "PC_Performace")->isTabVisible(1));
    // Super mode "Disable": the data rates are offered, each rate with " Mb".
    EXPECT_TRUE(radio.CB_DtRt->isEnabled());
    ASSERT_EQ(radio.CB_DtRt->count(), 13);
    EXPECT_EQ(radio.CB_DtRt->itemText(0), "Auto");
    EXPECT_EQ(radio.CB_DtRt->itemText(3), "5.5 Mb");
    EXPECT_EQ(radio.CB_DtRt->currentText(), "Auto");
    EXPECT_EQ(radio.CB_Chan->count(), 11);
    EXPECT_EQ(radio.CB_Chan->currentText(), "6");
    EXPECT_TRUE(radio.CB_Chan->isEnabled());
    EXPECT_EQ(radio.Ed_BeInt->text(), "100");

    // Any other super mode: the first rate, not to be chosen.
    page.RadioA.CB_SupMode->setCurrentIndex(0);
    page.CB_SupModeaChange();
    EXPECT_FALSE(radio.CB_DtRt->isEnabled());
    EXPECT_EQ(radio.CB_DtRt->currentIndex(), 0);
    // Dynamic turbo runs on channel 6 only.
    page.RadioA.CB_SupMode->setCurrentIndex(1);
    page.CB_SupModeaChange();
    ASSERT_EQ(radio.CB_Chan->count(), 1);
    EXPECT_EQ(radio.CB_Chan->currentText(), "6");
}

TEST_F(PerformancePage, ApplyRefusesOutOfRangeNumbersThenWritesEverythingAndRestarts)
{
    TFM_Performace page(main.get());
    PerformanceRadio& radio = page.RadioA;
    struct Case {
        QLineEdit* edit;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {radio.Ed_BeInt, "19", "Please input a number between 20 and 1000."},
        {radio.Ed_BeInt, "1001", "Please input a number between 20 and 1000."},
        {radio.Ed_BeInt, "", "Please input a number between 20 and 1000."},
        {radio.Ed_DTIM, "0", "Please input a number between 1 and 255."},
        {radio.Ed_DTIM, "256", "Please input a number between 1 and 255."},
        {radio.Ed_FragLen, "255", "Please input a number between 256 and 2346."},
        {radio.Ed_RTS, "2347", "Please input a number between 256 and 2346."},
    };
    for (const Case& c : cases) {
        const QString before = c.edit->text();
        recorder.messages.clear();
        c.edit->setText(c.text);
        page.Bt_Apply_aClick();
        ASSERT_EQ(recorder.messages.size(), 1u) << c.text;
        EXPECT_EQ(recorder.messages[0].text, c.message) << c.text;
        EXPECT_EQ(recorder.messages[0].caption, "Error");
        EXPECT_EQ(c.edit->text(), "") << c.text;
        c.edit->setText(before);
    }
    EXPECT_EQ(device->value(RadioOid("6")), "100");
    EXPECT_EQ(device->value(RadioOid("7")), "1");

    WaitWatcher watcher;
    radio.CB_DtRt->setCurrentIndex(radio.CB_DtRt->findText("54 Mb"));
    radio.CB_Chan->setCurrentIndex(radio.CB_Chan->findText("11"));
    radio.Ed_BeInt->setText("200");
    radio.CB_XR->setCurrentIndex(1);
    radio.CB_WMM->setCurrentIndex(0);
    radio.CB_Antenna->setCurrentIndex(2);
    recorder.messages.clear();
    page.Bt_Apply_aClick();
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_TRUE(deviceShows(RadioOid("4"), "54"));
    EXPECT_EQ(device->value(RadioOid("2")), "11");
    EXPECT_EQ(device->value(RadioOid("6")), "200");
    EXPECT_EQ(device->value(RadioOid("99")), "1");
    EXPECT_EQ(device->value(RadioOid("18")), "0");
    EXPECT_EQ(device->value(RadioOid("19")), "2");
    EXPECT_EQ(watcher.dialogsShown, 1);
}

TEST_F(PerformancePage, ExitChecksWarnAndOnlyTheRtsLengthIsCleared)
{
    TFM_Performace page(main.get());
    PerformanceRadio& radio = page.RadioA;
    radio.Ed_BeInt->setText("5000");
    EditEvents::Of(radio.Ed_BeInt).OnExit(radio.Ed_BeInt);
    radio.Ed_RTS->setText("100");
    EditEvents::Of(radio.Ed_RTS).OnExit(radio.Ed_RTS);
    EXPECT_EQ(recorder.texts(), QStringList({"Please input a number between 20 and 1000.",
                                             "Please input a number between 256 and 2346."}));
    EXPECT_EQ(recorder.messages[0].caption, "Warning");
    EXPECT_EQ(radio.Ed_BeInt->text(), "5000");
    EXPECT_EQ(radio.Ed_RTS->text(), "");
}

TEST_F(PerformancePage, AutoChannelScanOnTheDeviceDisablesTheChannelChoice)
{
    ASSERT_EQ(set({Bind(RadioOid("14"), SnmpType::Integer, {}, 1)}).status, 0);
    TFM_Performace page(main.get());
    EXPECT_FALSE(page.RadioA.CB_Chan->isEnabled());
}

// A firmware without XR and WMM.
class PerformanceWithoutFeatures : public ModuleAgainstDevice {
protected:
    QStringList deviceArguments() const override { return {"--without", "xr", "--without", "wmm"}; }
};

TEST_F(PerformanceWithoutFeatures, HidesTheirRowsMovesTheRestUpAndDoesNotWriteThem)
{
    TFM_Performace page(main.get());
    PerformanceRadio& radio = page.RadioA;
    EXPECT_FALSE(radio.xrSupported);
    EXPECT_FALSE(radio.wmmSupported);
    EXPECT_TRUE(radio.La_XR->isHidden() && radio.CB_XR->isHidden());
    EXPECT_TRUE(radio.LA_WMM->isHidden() && radio.CB_WMM->isHidden());
    EXPECT_FALSE(radio.CB_Antenna->isHidden());
    EXPECT_EQ(radio.LabelShortPre->y(), radio.La_XR->y());  // up into the XR row
    EXPECT_EQ(page.StatusBar()->SimpleText(), "");         // no message about the missing features

    // A write of either would be refused by the device and reported.
    WaitWatcher watcher;
    radio.Ed_DTIM->setText("3");
    page.Bt_Apply_aClick();
    EXPECT_TRUE(deviceShows(RadioOid("7"), "3"));
    EXPECT_TRUE(recorder.messages.empty());
    EXPECT_EQ(page.StatusBar()->SimpleText(), "");
    EXPECT_EQ(watcher.dialogsShown, 1);
}

// A device that refuses the short preamble: the writes stop there.
class PerformanceRefused : public ModuleAgainstDevice {
protected:
    QStringList deviceArguments() const override { return {"--refuse-set", RadioOid("17") + "=5"}; }
};

TEST_F(PerformanceRefused, AFailedWriteStopsTheRestAndSaysWhichRadio)
{
    TFM_Performace page(main.get());
    WaitWatcher watcher;
    page.RadioA.Ed_BeInt->setText("300");
    page.RadioA.CB_WMM->setCurrentIndex(0);
    page.Bt_Apply_aClick();
    EXPECT_EQ(page.StatusBar()->SimpleText(), "IEEE802.11a Setting Error!");
    EXPECT_TRUE(deviceShows(RadioOid("6"), "300"));  // written before the failure
    EXPECT_EQ(device->value(RadioOid("18")), "1");
    EXPECT_EQ(watcher.dialogsShown, 0);
}

} // namespace
