#include "support/BulkSpoilingProxy.h"
#include "support/DeviceTools.h"
#include "support/PageTestKit.h"
#include "binding/FormScale.h"
#include "platform/TimeScale.h"

#include "binding/Controls.h"
#include "binding/QvStatusBar.h"
#include "pages/status/TClientInformation.h"
#include "snmp/ErrorCatalogue.h"
#include "snmp/SnmpSettings.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>

// The client information page against the simulated device.
namespace {

const QString kOldFirmware = "Maybe this firmware is so old that client info function is not supported.";

QString panelText(TClientInformation& page) { return child<QvStatusBar>(&page, "StatusBar")->Panel(0)->Text(); }

class ClientPage : public PageAgainstDevice {
protected:
    // Three stations on radio 1 with two free slots between them, two on radio 2 (switched on).
    QStringList deviceArguments() const override
    {
        const QString path = stateDir.filePath("radio2.json");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"({"model": "VTA-3100QX", "kind": "state", "variables": {
            "1.3.6.1.4.1.32473.10.37.24.2.3.1.12.2": {"name": "radio", "type": "integer", "value": 1}}})");
        return {"--state-in", path, "--clients", "3", "--empty-client-rows", "2", "--clients2", "2", "--delay-ms", "5"};
    }
    QTemporaryDir stateDir;
};

TEST_F(ClientPage, ListsTheStationsOfRadioOneNumberedAndRefreshReadsThemAgain)
{
    restartDevice(device->port());  // radio 2 runs from the next start on
    // Checks every 0.2 s: the first read ends well before the third.
    TimeScale::setFactor(0.2);
    TClientInformation page;
    page.show();
    EXPECT_EQ(page.windowTitle(), "Status \\ Client Info");
    EXPECT_EQ(child<QTabWidget>(&page, "PageControl1")->tabText(0), "IEEE 802.11g");
    EXPECT_FALSE(TabSheetVisible(child<QWidget>(&page, "TabSheet11g")));
    ASSERT_TRUE(waitFor([&] { return !child<QLabel>(&page, "NumOfRecord")->text().isEmpty(); }));

    // The raw table holds both radios and the free slots; the list only radio 1's stations.
    const QTreeWidget* raw = child<QTreeWidget>(&page, "ClientListView");
    EXPECT_EQ(column(raw, 0).count("1"), 5);
    EXPECT_EQ(column(raw, 0).count("2"), 2);
    const QTreeWidget* list = child<QTreeWidget>(&page, "User_ListView");
    EXPECT_EQ(child<QLabel>(&page, "NumOfRecord")->text(), "3");
    EXPECT_EQ(column(list, 0), QStringList({"1", "2", "3"}));
    const QStringList macs = column(list, 1);
    for (int row = 0; row < 3; ++row) {
        // Stations stand in rows 1, 3 and 5 of the device's table.
        const QString instance = QString(VTA_OID(".4.5.2.1.2.1.%1")).arg(2 * row + 1);
        EXPECT_EQ(macs[row], device->value(instance)) << row;
        EXPECT_TRUE(QRegularExpression("^[0-9A-F]{12}$").match(macs[row]).hasMatch()) << macs[row].toStdString();
        EXPECT_NE(macs[row], "000000000000");
    }
    EXPECT_EQ(column(list, 2), QStringList({"11g", "11g", "11g"}));
    EXPECT_EQ(column(list, 3), QStringList({"Open System", "Open System", "Open System"}));
    EXPECT_EQ(column(list, 5), QStringList({"Off", "Off", "On"}));
    EXPECT_EQ(list->headerItem()->text(1), "Client MAC Address");

    // Only the radio whose tab can be seen is commanded.
    EXPECT_EQ(device->value(QString(VTA_OID(".4.5.1.1.1.1"))), "1");
    EXPECT_EQ(device->value(QString(VTA_OID(".4.5.1.1.1.2"))), "0");

    // Refresh empties the list at once and fills it anew, numbered from 1 again; the count
    // goes with the list.
    child<QPushButton>(&page, "Bt_Rfrsh")->click();
    EXPECT_EQ(list->topLevelItemCount(), 0);
    EXPECT_EQ(child<QLabel>(&page, "NumOfRecord")->text(), "");
    EXPECT_EQ(panelText(page), "Refresh...");
    EXPECT_TRUE(page.Busy());
    // Close under the read does nothing (what it does to the old-firmware check shows on a
    // slow device, below).
    child<QPushButton>(&page, "Bt_Close")->click();
    EXPECT_TRUE(page.isVisible());
    ASSERT_TRUE(waitFor([&] { return !page.Busy(); }));
    EXPECT_EQ(column(list, 0), QStringList({"1", "2", "3"}));
    runFor(800);  // four checks
    EXPECT_TRUE(page.isVisible());
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();

    child<QPushButton>(&page, "Bt_Close")->click();
    EXPECT_FALSE(page.isVisible());
}

// A device so slow that the first read outlasts the third old-firmware check.
class ClientPageOnASlowDevice : public PageAgainstDevice {
protected:
    QStringList deviceArguments() const override { return {"--delay-ms", "300"}; }
    // Walked a row per exchange (get-bulk off), so the table read takes a late answer per row.
    void SetUp() override
    {
        PageAgainstDevice::SetUp();
        QvSNMPDevice.getBulk = false;
    }
};

// A close asked for during the first read stops the old-firmware check: the count is still
// empty at the third check, yet the page neither warns nor closes itself under the read.
TEST_F(ClientPageOnASlowDevice, ACloseUnderTheFirstReadStopsTheOldFirmwareCheck)
{
    TimeScale::setFactor(0.2);  // checks every 0.2 s, the third at 0.6 s
    TClientInformation page;
    page.show();
    child<QPushButton>(&page, "Bt_Close")->click();
    EXPECT_TRUE(page.isVisible());
    runFor(800);
    ASSERT_TRUE(page.Busy()) << "the read must outlast the third check";
    EXPECT_TRUE(child<QLabel>(&page, "NumOfRecord")->text().isEmpty());
    ASSERT_TRUE(waitFor([&] { return !page.Busy(); }));
    runFor(400);
    EXPECT_TRUE(page.isVisible());
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
    EXPECT_EQ(child<QLabel>(&page, "NumOfRecord")->text(), "3");
    child<QPushButton>(&page, "Bt_Close")->click();
    EXPECT_FALSE(page.isVisible());
}

// A device so slow that one read of the table takes seconds.
class ClientPageOnAVerySlowDevice : public PageAgainstDevice {
protected:
    QStringList deviceArguments() const override { return {"--delay-ms", "1000"}; }
    // Walked a row per exchange (get-bulk off), so the table read takes a late answer per row.
    void SetUp() override
    {
        PageAgainstDevice::SetUp();
        QvSNMPDevice.getBulk = false;
    }
};

// Refresh under a read says why it does nothing; a close under it is refused, and once the
// read has kept the page a few seconds the page lets go of it and closes.
TEST_F(ClientPageOnAVerySlowDevice, RefreshSaysItIsBusyAndACloseIsCarriedOutWithinAFewSeconds)
{
    TClientInformation page;
    page.show();
    ASSERT_TRUE(page.Busy());
    child<QPushButton>(&page, "Bt_Rfrsh")->click();
    EXPECT_EQ(panelText(page), QvPage::kBusyText);
    QElapsedTimer clock;
    clock.start();
    child<QPushButton>(&page, "Bt_Close")->click();
    EXPECT_TRUE(page.isVisible());
    ASSERT_TRUE(waitFor([&] { return !page.isVisible(); }, QvPage::kCloseGraceMs + 3000));
    EXPECT_LT(clock.elapsed(), QvPage::kCloseGraceMs + 1500);
    EXPECT_TRUE(page.Busy()) << "the read was still under way";
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
}

class ClientPageOnOldFirmware : public PageAgainstDevice {
protected:
    QStringList deviceArguments() const override { return {"--without", "client-table"}; }
};

TEST_F(ClientPageOnOldFirmware, WarnsAndClosesAtTheThirdCheck)
{
    TClientInformation page;
    QElapsedTimer clock;
    clock.start();
    page.show();
    ASSERT_TRUE(waitFor([&] { return !page.isVisible(); }, 5000));
    // Three checks of 50 ms at this time scale.
    EXPECT_GE(clock.elapsed(), 100);
    ASSERT_EQ(recorder.texts(), QStringList({kOldFirmware}));
    EXPECT_EQ(recorder.messages[0].caption, "Warning");
    EXPECT_TRUE(child<QLabel>(&page, "NumOfRecord")->text().isEmpty());
}

// A device that refuses the acquire for another reason than a missing object has the
// function: the refusal is told, the table it gives is listed, and the page stays open. A
// refusal of radio 2's instance does not matter, since radio 2 is never commanded.
class ClientPageRefusingTheAcquire : public PageAgainstDevice {
protected:
    QStringList deviceArguments() const override
    {
        return {"--refuse-set", QString(VTA_OID(".4.5.1.1.1.1")) + "=5", "--refuse-set",
                QString(VTA_OID(".4.5.1.1.1.2")) + "=5"};
    }
};

TEST_F(ClientPageRefusingTheAcquire, SaysSoKeepsTheTableAndStaysOpen)
{
    TClientInformation page;
    page.show();
    ASSERT_TRUE(waitFor([&] { return !page.Busy(); }, 5000));
    runFor(300);  // past the old-firmware check at this time scale
    EXPECT_TRUE(page.isVisible());
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
    EXPECT_TRUE(panelText(page).contains(QString::fromStdString(MapStatus(5).text))) << panelText(page).toStdString();
    // The device's three stations of its last acquire are still in its table.
    EXPECT_EQ(child<QLabel>(&page, "NumOfRecord")->text(), "3");
    EXPECT_EQ(child<QTreeWidget>(&page, "User_ListView")->topLevelItemCount(), 3);

    // The same on Refresh.
    child<QPushButton>(&page, "Bt_Rfrsh")->click();
    ASSERT_TRUE(waitFor([&] { return !page.Busy(); }, 5000));
    EXPECT_TRUE(panelText(page).contains(QString::fromStdString(MapStatus(5).text))) << panelText(page).toStdString();
    EXPECT_EQ(child<QLabel>(&page, "NumOfRecord")->text(), "3");
    EXPECT_TRUE(page.isVisible());
}

using ClientPageWithoutDevice = PageWithoutDevice;

// A silent device is not old firmware: the time-out is shown and the page stays until closed.
TEST_F(ClientPageWithoutDevice, ShowsTheTimeOutAndStaysOpen)
{
    QElapsedTimer clock;
    clock.start();
    TClientInformation page;
    EXPECT_LT(clock.elapsed(), 500);  // both exchanges notify
    page.show();
    ASSERT_TRUE(waitFor([&] { return !page.Busy(); }, 5000));
    EXPECT_LT(clock.elapsed(), 2 * kTimeout * 10 + 1500);
    EXPECT_TRUE(panelText(page).contains("timed out")) << panelText(page).toStdString();
    runFor(400);
    EXPECT_TRUE(page.isVisible());
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
    EXPECT_TRUE(child<QLabel>(&page, "NumOfRecord")->text().isEmpty());
    child<QPushButton>(&page, "Bt_Close")->click();
    EXPECT_FALSE(page.isVisible());
}

// The list fills its panel but for the buttons' strip; the buttons keep their share of the width.
// The strips are designed pixels, scaled by the font; the panel fills its sheet from the start.
TEST_F(ClientPageWithoutDevice, ResizingKeepsTheListsAndButtonsInProportion)
{
    TClientInformation page;
    page.show();
    const FormScale& scale = page.Scale();
    EXPECT_EQ(child<QFrame>(&page, "Panel4")->size(), child<QWidget>(&page, "TabSheet11a")->size());
    for (const QSize size : {scale.Size(QSize(560, 330)), scale.Size(QSize(810, 480))}) {
        page.resize(size);
        const QWidget* panel = child<QFrame>(&page, "Panel4");
        EXPECT_EQ(panel->size(), child<QWidget>(&page, "TabSheet11a")->size());
        const int width = child<QTabWidget>(&page, "PageControl1")->width();
        EXPECT_EQ(width, size.width());
        for (const char* list : {"User_ListView", "ClientListView"})
            EXPECT_EQ(child<QTreeWidget>(&page, list)->size(),
                      QSize(panel->width() - scale.X(27), panel->height() - scale.Y(88)));
        const QPushButton* refresh = child<QPushButton>(&page, "Bt_Rfrsh");
        EXPECT_EQ(refresh->pos(), QPoint(width * 5 / 27, panel->height() - scale.Y(41)));
        EXPECT_EQ(child<QPushButton>(&page, "Bt_Close")->pos(), QPoint(width * 37 / 63, panel->height() - scale.Y(41)));
    }
    waitFor([&] { return !page.Busy(); }, 5000);
    page.close();
}

// A device whose client table goes back as it is walked (A, B, A, B, ...): the walk stops at
// the first answer that does not go forward and the status bar says so, where the list once
// grew for ever.
class ClientPageOnALoopingDevice : public PageAgainstDevice {
protected:
    void SetUp() override
    {
        PageAgainstDevice::SetUp();
        proxy = std::make_unique<BulkSpoilingProxy>(device->port(), BulkSpoilingProxy::Spoil::Looping);
        ASSERT_TRUE(proxy->started());
        AimAt(proxy->port());
    }
    std::unique_ptr<BulkSpoilingProxy> proxy;
};

TEST_F(ClientPageOnALoopingDevice, TheWalkStopsAndTheStatusBarSaysWhy)
{
    TClientInformation page;
    page.show();
    ASSERT_TRUE(waitFor([&] { return panelText(page).contains("OID not increasing"); }, 10000))
        << panelText(page).toStdString();
    const QTreeWidget* raw = child<QTreeWidget>(&page, "ClientListView");
    EXPECT_EQ(raw->topLevelItemCount(), 2);
    runFor(300);
    EXPECT_EQ(raw->topLevelItemCount(), 2);
}

} // namespace
