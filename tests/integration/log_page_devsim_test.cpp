#include "support/DeviceTools.h"
#include "support/PageTestKit.h"

#include "binding/ListExport.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "binding/QvStatusBar.h"
#include "pages/advanced/TLogForm.h"
#include "pages/advanced/TLogSetForm.h"
#include "snmp/ErrorCatalogue.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

// The system log page and its settings dialog against the simulated device.
namespace {

#define LOG_SETTING(n) VTA_OID(".2.11." #n ".0")

QString panelText(TLogForm& page) { return child<QvStatusBar>(&page, "StatusBar1")->Panel(0)->Text(); }

bool buttonsEnabled(TLogForm& page)
{
    return child<QPushButton>(&page, "Clear_Btn")->isEnabled() && child<QPushButton>(&page, "SetBtn")->isEnabled() && child<QPushButton>(&page, "GetBtn")->isEnabled()
        && child<QPushButton>(&page, "CloseBtn")->isEnabled();
}

class LogPage : public PageAgainstDevice {
protected:
    // A slow device, so a read lasts long enough to try closing under it.
    QStringList deviceArguments() const override { return {"--log-rows", "40", "--delay-ms", "5"}; }
};

TEST_F(LogPage, FillsOnRequestRefusesClosingMeanwhileAndClearsWhenTheDeviceDid)
{
    TLogForm page;
    page.show();
    EXPECT_EQ(page.windowTitle(), "Advanced \\ System Log");
    EXPECT_EQ(child<QTreeWidget>(&page, "ViewListView")->topLevelItemCount(), 0);
    // Clear is not served while the page still reads the command's state, and says so.
    ASSERT_TRUE(page.ClearCommand->Busy);
    child<QPushButton>(&page, "Clear_Btn")->click();
    EXPECT_EQ(panelText(page), QvPage::kBusyText);
    ASSERT_TRUE(waitFor([&] { return !page.AnyBindingBusy(); }));

    // While the log is read, its Close button is off and the window's close is refused.
    child<QPushButton>(&page, "GetBtn")->click();
    EXPECT_FALSE(child<QPushButton>(&page, "CloseBtn")->isEnabled());
    EXPECT_EQ(panelText(page), "Refresh...");
    EXPECT_FALSE(page.close());
    EXPECT_TRUE(page.isVisible());
    ASSERT_TRUE(waitFor([&] { return buttonsEnabled(page); }));
    runFor(100);
    EXPECT_TRUE(page.isVisible()) << "a refused close is not carried out later";

    // The device's start, then its synthetic entries, oldest first; time and message shown.
    QTreeWidget* list = child<QTreeWidget>(&page, "ViewListView");
    ASSERT_GE(list->topLevelItemCount(), 41);
    const int timeColumn = list->columnCount() - 2;
    const int messageColumn = list->columnCount() - 1;
    const QStringList messages = column(list, messageColumn);
    EXPECT_EQ(messages.filter("Synthetic log entry").size(), 40);
    EXPECT_EQ(messages.indexOf("Synthetic log entry 1") + 39, messages.indexOf("Synthetic log entry 40"));
    EXPECT_TRUE(messages.filter("System started").size() == 1) << messages.join("|").toStdString();
    EXPECT_FALSE(list->topLevelItem(0)->text(timeColumn).isEmpty());
    EXPECT_EQ(list->headerItem()->text(messageColumn), "Message");
    EXPECT_EQ(panelText(page), QString::fromStdString(MapStatus(0).text));

    child<QPushButton>(&page, "Clear_Btn")->click();
    ASSERT_TRUE(waitFor([&] { return panelText(page) == "Setting success!"; })) << panelText(page).toStdString();
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(device->value(VTA_OID(".2.11.10.0")), "1");

    // The device's log is empty now: a new read brings none of the old entries back.
    child<QPushButton>(&page, "GetBtn")->click();
    ASSERT_TRUE(waitFor([&] { return buttonsEnabled(page); }));
    EXPECT_TRUE(column(list, messageColumn).filter("Synthetic").isEmpty());
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();

    page.close();
    EXPECT_FALSE(page.isVisible());
}

// The messages of the rows the list shows, top to bottom.
QStringList shownMessages(const QTreeWidget* list)
{
    QStringList messages;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (!list->topLevelItem(i)->isHidden())
            messages << list->topLevelItem(i)->text(list->columnCount() - 1);
    return messages;
}

class LogPageWithFewEntries : public PageAgainstDevice {
protected:
    QStringList deviceArguments() const override { return {"--log-rows", "4"}; }
};

TEST_F(LogPageWithFewEntries, FindBoxShowsOnlyTheRowsHoldingItsTextAcrossReads)
{
    TLogForm page;
    page.show();
    ASSERT_TRUE(waitFor([&] { return !page.AnyBindingBusy(); }));
    QTreeWidget* list = child<QTreeWidget>(&page, "ViewListView");
    QLineEdit* find = child<QLineEdit>(&page, "Ed_Find");
    const auto getLog = [&] {
        child<QPushButton>(&page, "GetBtn")->click();
        ASSERT_TRUE(waitFor([&] { return buttonsEnabled(page); }));
    };

    // Typed before the read, in another case, a text only the message column holds: the rows
    // the read brings obey it.
    find->setText("LOG ENTRY 3");
    getLog();
    ASSERT_EQ(list->topLevelItemCount(), 5) << "the device's start and its four entries";
    EXPECT_EQ(shownMessages(list), QStringList{"Synthetic log entry 3"});

    // The time column counts too: the start's time is held by the start's row.
    const QString started = list->topLevelItem(0)->text(list->columnCount() - 2);
    ASSERT_FALSE(started.isEmpty());
    find->setText(started);
    EXPECT_TRUE(shownMessages(list).filter("System started").size() == 1) << shownMessages(list).join("|").toStdString();

    // An empty box shows every row.
    find->clear();
    EXPECT_EQ(shownMessages(list).size(), 5);

    // A new read keeps the filter; the list still holds every entry, and takes away only those shown.
    find->setText("synthetic");
    getLog();
    EXPECT_EQ(list->topLevelItemCount(), 5);
    EXPECT_EQ(shownMessages(list), QStringList({"Synthetic log entry 1", "Synthetic log entry 2",
                                                "Synthetic log entry 3", "Synthetic log entry 4"}));
    const QStringList csv = ListAsCsv(list).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(csv.size(), 5) << csv.join("|").toStdString();
    EXPECT_EQ(csv[0], "Index,Time,Message");
    EXPECT_TRUE(csv[1].endsWith(",Synthetic log entry 1")) << csv[1].toStdString();
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
}

class LogPageRefusingClear : public PageAgainstDevice {
protected:
    QStringList deviceArguments() const override
    {
        return {"--log-rows", "3", "--refuse-set", VTA_OID(".2.11.10.0=5")};
    }
};

// The list stays when the device did not clear its log.
TEST_F(LogPageRefusingClear, ReportsTheFailureAndKeepsTheList)
{
    TLogForm page;
    child<QPushButton>(&page, "GetBtn")->click();
    ASSERT_TRUE(waitFor([&] { return buttonsEnabled(page); }));
    const int rows = child<QTreeWidget>(&page, "ViewListView")->topLevelItemCount();
    ASSERT_GE(rows, 3);

    child<QPushButton>(&page, "Clear_Btn")->click();
    ASSERT_TRUE(waitFor([&] { return panelText(page) == "Set error!"; })) << panelText(page).toStdString();
    EXPECT_EQ(child<QTreeWidget>(&page, "ViewListView")->topLevelItemCount(), rows);
}

using LogSettings = PageAgainstDevice;

TEST_F(LogSettings, ShowWhatTheDeviceHoldsAndApplyWritesThemWithARestart)
{
    ASSERT_TRUE(ToolSet(device->port(), LOG_SETTING(9), "a", "192.168.0.9"));
    ASSERT_TRUE(ToolSet(device->port(), LOG_SETTING(2), "i", "0"));
    TLogForm page;
    TLogSetForm* dialog = page.SettingsForm();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Advanced\\System Log\\Log Setting");
    EXPECT_EQ(child<QLineEdit>(dialog, "LogServerEdit")->text(), "192.168.0.9");
    EXPECT_TRUE(child<QCheckBox>(dialog, "SysLevCeBox")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(dialog, "WirelessLevCeBox")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(dialog, "NoticeLevCeBox")->isChecked());

    // The loopback address is no log server: refused, cleared, nothing sent.
    child<QLineEdit>(dialog, "LogServerEdit")->setText("127.0.0.1");
    child<QPushButton>(dialog, "Bt_Apply")->click();
    ASSERT_EQ(recorder.texts(), QStringList({"Please input valid IP Address."}));
    EXPECT_EQ(recorder.messages[0].caption, "Warning");
    EXPECT_TRUE(child<QLineEdit>(dialog, "LogServerEdit")->text().isEmpty());
    EXPECT_EQ(device->value(LOG_SETTING(9)), "192.168.0.9");

    // Empty means no server; all types off go as 0. The device restarts afterwards.
    child<QCheckBox>(dialog, "SysLevCeBox")->setChecked(false);
    child<QCheckBox>(dialog, "NoticeLevCeBox")->setChecked(false);
    child<QPushButton>(dialog, "Bt_Apply")->click();
    EXPECT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(child<QLineEdit>(dialog, "LogServerEdit")->text(), "0.0.0.0");
    EXPECT_EQ(device->value(LOG_SETTING(9)), "0.0.0.0");
    for (const char* level : {LOG_SETTING(1), LOG_SETTING(2), LOG_SETTING(3)})
        EXPECT_EQ(device->value(level), "0") << level;
    EXPECT_EQ(dialog->StatusBar()->Panel(0)->Text(), "Set Success!");
    EXPECT_EQ(panelText(page), "Set Success!");

    // The wait dialog sent the restart command: the device's log says so once it is back.
    ASSERT_TRUE(waitFor([&] { return ToolGetAnswers(device->port(), VTA_OID(".4.4.0")); }));
    child<QPushButton>(&page, "GetBtn")->click();
    ASSERT_TRUE(waitFor([&] { return buttonsEnabled(page); }));
    const QTreeWidget* list = child<QTreeWidget>(&page, "ViewListView");
    EXPECT_FALSE(column(list, list->columnCount() - 1).filter("Restart requested").isEmpty());
}

using LogPageWithoutDevice = PageWithoutDevice;

TEST_F(LogPageWithoutDevice, OpensReadsInVainAndStaysUsable)
{
    QElapsedTimer clock;
    clock.start();
    TLogForm page;
    page.show();
    // One waiting read (the settings); the others notify.
    EXPECT_LT(clock.elapsed(), 2 * kTimeout * 10 + 1500);
    child<QPushButton>(&page, "GetBtn")->click();
    EXPECT_FALSE(buttonsEnabled(page));
    ASSERT_TRUE(waitFor([&] { return buttonsEnabled(page); }, 5000));
    EXPECT_NE(panelText(page), "Refresh...");
    EXPECT_EQ(child<QTreeWidget>(&page, "ViewListView")->topLevelItemCount(), 0);

    child<QPushButton>(&page, "Clear_Btn")->click();
    ASSERT_TRUE(waitFor([&] { return panelText(page) == "Set error!"; }, 5000)) << panelText(page).toStdString();

    // The buttons stand where the width puts them.
    page.resize(478, page.height());
    EXPECT_EQ(child<QPushButton>(&page, "Clear_Btn")->x(), 40);
    EXPECT_EQ(child<QPushButton>(&page, "SetBtn")->x(), 142);
    EXPECT_EQ(child<QPushButton>(&page, "GetBtn")->x(), 252);
    EXPECT_EQ(child<QPushButton>(&page, "CloseBtn")->x(), 368);
    page.resize(956, page.height() + 100);
    EXPECT_EQ(child<QPushButton>(&page, "Clear_Btn")->x(), 80);
    EXPECT_EQ(child<QPushButton>(&page, "CloseBtn")->x(), 736);
    // The margin is designed pixels, scaled by the font.
    EXPECT_EQ(child<QFrame>(&page, "Panel2")->width(), child<QFrame>(&page, "Panel1")->width() - page.Scale().X(20));
    EXPECT_EQ(child<QFrame>(&page, "Panel2")->height(), child<QFrame>(&page, "Panel1")->height() - page.Scale().Y(20));

    page.close();
    EXPECT_FALSE(page.isVisible());
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
}

} // namespace
