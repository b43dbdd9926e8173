// What every page relies on besides its bindings: the menu its registration names, the
// restart wait in its variants, radio groups in columns.
#include "support/DialogRecorder.h"
#include "support/PageTestKit.h"
#include "support/SilentAgent.h"
#include "binding/RadioGroup.h"
#include "pages/advanced/AdvancedPages.h"
#include "pages/home/HomePages.h"
#include "pages/status/StatusPages.h"
#include "pages/tools/ToolsPages.h"
#include "platform/TimeScale.h"
#include "shell/DeviceCapabilities.h"
#include "shell/MenuItems.h"
#include "shell/PageRegistry.h"
#include "shell/RestartWait.h"
#include "shell/TFM_Waiting.h"
#include "shell/TMainForm.h"

#include <QAction>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>

namespace {

TEST(PageKit, EveryRegisteredPageHangsUnderAMenuItemOfTheMainWindow)
{
    QTemporaryDir folder;
    qputenv("VTA_HOST_REGISTRY", folder.filePath("registry.ini").toLocal8Bit());
    DialogRecorder recorder;
    RegisterMenuPages();
    TMainForm main(std::vector<std::string>{});
    ASSERT_FALSE(PageRegistry::registered().empty());
    for (MenuItem item : PageRegistry::registered()) {
        const char* caption = EntryOf(item).caption;
        EXPECT_NE(main.menuItem(caption), nullptr) << caption;
    }
    std::set<QString> captions;
    for (const MenuEntry& entry : MenuEntries())
        EXPECT_TRUE(captions.insert(entry.caption).second) << "one caption, one item: " << entry.caption;
    PageRegistry::clear();
}

// A device whose readiness the test decides.
class ReadyWhenTold : public DeviceCapabilities {
public:
    QString DeviceAddress() const override { return "127.0.0.1"; }
    QString StatusText() const override { return ready ? "Ready. " : "(SNMPClass) SNMP request timed out!"; }
    QString FirmwareVersion() const override { return {}; }
    QString CountryCode() const override { return {}; }
    QString TurboMode(int) const override { return {}; }
    QString ApModes() const override { return {}; }
    QString MultiSsidSupported() const override { return {}; }
    QString IpAddress() const override { return {}; }
    QString SubnetMask() const override { return {}; }
    bool ready = true;
};

class RestartWaitVariants : public ::testing::Test {
protected:
    void SetUp() override { InstallCapabilities(&device); }
    void TearDown() override { InstallCapabilities(nullptr); }
    static QString text(TFM_Waiting& dialog, const char* label) { return dialog.findChild<QLabel*>(label)->text(); }
    static bool shown(TFM_Waiting& dialog, const char* label) { return !dialog.findChild<QLabel*>(label)->isHidden(); }

    SilentAgent agent;  // where the restart command goes (it waits for its time-out there)
    ReadyWhenTold device;
    DialogRecorder recorder;
};

TEST_F(RestartWaitVariants, EachOpenerGetsTheDialogItAskedFor)
{
    struct Case {
        RestartWait wait;
        int countdown;
        bool sendReboot;
        int rebootDelay;
        const char* first;
        const char* second;
        const char* countdownLine;
        bool countdownShown;
    };
    const Case cases[] = {
        {{}, 40, true, 1, "Settings saved.", "The device is restarting.", "Please waiting for", true},
        {{.countdown = 50}, 50, true, 1, "Settings saved.", "The device is restarting.", "Please waiting for", true},
        {{.countdown = 12, .sendReboot = false, .firstLine = "Please wait...",
          .secondLine = "Judge the IP whether can be used."},
         12, false, 1, "Please wait...", "Judge the IP whether can be used.", "Please waiting for", true},
        {{.rebootDelay = 5}, 40, true, 5, "Settings saved.", "The device is restarting.", "Please waiting for", true},
        {{.countdown = 100, .sendReboot = false, .countdownLine = "please waiting.....", .showCountdown = false,
          .caption = "System is rebooting, please waiting.....!"},
         100, false, 1, "Settings saved.", "The device is restarting.", "please waiting.....", false},
    };
    for (const Case& c : cases) {
        const auto dialog = NewRestartWait(c.wait);
        EXPECT_EQ(dialog->Countdown, c.countdown);
        EXPECT_EQ(dialog->SendReboot, c.sendReboot);
        EXPECT_EQ(dialog->RebootDelay, c.rebootDelay);
        EXPECT_EQ(text(*dialog, "Label2"), c.first);
        EXPECT_EQ(text(*dialog, "Label3"), c.second);
        EXPECT_EQ(text(*dialog, "Label1"), c.countdownLine);
        EXPECT_EQ(text(*dialog, "La_Time"), QString::number(c.countdown)) << "the number it starts from";
        EXPECT_EQ(shown(*dialog, "La_Time"), c.countdownShown);
        EXPECT_EQ(shown(*dialog, "seconds"), c.countdownShown);
    }
    EXPECT_EQ(NewRestartWait({.caption = "System is rebooting, please waiting.....!"})->windowTitle(),
              "System is rebooting, please waiting.....!");
}

TEST_F(RestartWaitVariants, AReshapedPauseBecomesARestartAndAPauseWithoutRestartSendsNothing)
{
    TimeScale::setFactor(0.01);
    const auto dialog = NewRestartWait({.countdown = 100, .sendReboot = false, .showCountdown = false});
    dialog->show();
    device.ready = false;
    for (int tick = 0; tick < 3; ++tick)
        dialog->Timer1Timer();
    EXPECT_TRUE(dialog->RebootPending()) << "a pause sends no restart";
    ReshapeRestartWait(dialog.get(), {.countdown = 3, .secondLine = "The device is restarting..."});
    EXPECT_TRUE(shown(*dialog, "La_Time"));
    EXPECT_EQ(text(*dialog, "La_Time"), "3");
    dialog->Timer1Timer();  // the restart command leaves now (its answer does not matter here)
    EXPECT_FALSE(dialog->RebootPending());
    device.ready = true;
    dialog->Timer1Timer();
    dialog->Timer1Timer();
    // Closed at zero with the device ready, once its restart command's exchange has ended.
    EXPECT_TRUE(waitFor([&] { return !dialog->isVisible(); }, 5000));
    ReshapeRestartWait(nullptr, {});  // a dialog that gave up already: nothing happens
    TimeScale::setFactor(1.0);
}

TEST(RadioGroupColumns, ItemsFillEachColumnFromTheTopBeforeTheNext)
{
    RadioGroup group(nullptr, 4);
    group.SetItems({"a", "b", "c", "d", "e", "f", "g", "h"});
    auto* grid = group.findChild<QGridLayout*>();
    ASSERT_NE(grid, nullptr);
    auto place = [&](int index) {
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        const QList<QRadioButton*> buttons = group.findChildren<QRadioButton*>();
        grid->getItemPosition(grid->indexOf(buttons[index]), &row, &column, &rowSpan, &columnSpan);
        return std::pair(row, column);
    };
    EXPECT_EQ(place(0), std::pair(0, 0));
    EXPECT_EQ(place(1), std::pair(1, 0));
    EXPECT_EQ(place(2), std::pair(0, 1));
    EXPECT_EQ(place(7), std::pair(1, 3));
    group.SetColumns(1);
    EXPECT_EQ(place(7), std::pair(7, 0));
    group.SetItemIndex(5);
    EXPECT_EQ(group.ItemIndex(), 5);
}

} // namespace
