#include "support/DeviceTools.h"
#include "support/PageTestKit.h"

#include "binding/Controls.h"
#include "binding/QvStatusBar.h"
#include "pages/status/TFM_DevInfo.h"
#include "pages/status/TFM_Static.h"
#include "snmp/ErrorCatalogue.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

// The read-only status pages against the simulated device: device information and statistics.
namespace {

QString text(QWidget* page, const char* edit) { return child<QLineEdit>(page, edit)->text(); }

using DeviceInfoPage = PageAgainstDevice;

TEST_F(DeviceInfoPage, ShowsWhatTheDeviceRunsAndRefreshReadsOnlyTheRadio)
{
    TFM_DevInfo page;
    EXPECT_EQ(page.windowTitle(), "Status \\ Device Info");
    EXPECT_EQ(page.size(), page.Scale().Size(QSize(651, 275))) << "the documented size, scaled by the font";
    EXPECT_EQ(child<QTabWidget>(&page, "PC_WirlessTraffic")->tabText(0), "IEEE 802.11g");
    EXPECT_FALSE(TabSheetVisible(child<QWidget>(&page, "TabSheetG")));

    EXPECT_EQ(text(&page, "Ed_Firmware"), "2.05");
    EXPECT_EQ(text(&page, "Ed_Mac"), "00E0A6310524");
    EXPECT_EQ(text(&page, "Ed_Mac"), device->value(VTA_OID(".4.1.1.2.0")));
    EXPECT_EQ(text(&page, "Ed_GetIP"), "Manual");
    EXPECT_EQ(text(&page, "Ed_IPaddr"), "192.168.0.50");
    EXPECT_EQ(text(&page, "Ed_SubMask"), "255.255.255.0");
    EXPECT_EQ(text(&page, "Ed_Gate"), "192.168.0.1");
    EXPECT_EQ(text(&page, "Ed_SSIDa"), "VTA3100QX");
    EXPECT_EQ(text(&page, "Ed_Channela"), "6");
    EXPECT_EQ(text(&page, "Ed_DatRata"), "Auto");
    EXPECT_EQ(text(&page, "Ed_SecLevAutha"), "Open System");
    EXPECT_TRUE(recorder.messages.empty());

    // New settings run after a restart; Refresh shows the radio's, the Ethernet part stays.
    ASSERT_TRUE(ToolSet(device->port(), VTA_OID(".1.1.1.1.1"), "s", "Lobby"));
    ASSERT_TRUE(ToolSet(device->port(), VTA_OID(".1.1.1.3.1"), "i", "11"));
    ASSERT_TRUE(ToolSet(device->port(), VTA_OID(".1.2.2.0"), "a", "192.168.0.60"));
    restartDevice(device->port());
    child<QPushButton>(&page, "Bt_Refa")->click();
    EXPECT_EQ(text(&page, "Ed_SSIDa"), "Lobby");
    EXPECT_EQ(text(&page, "Ed_Channela"), "11");
    EXPECT_EQ(text(&page, "Ed_IPaddr"), "192.168.0.50");
}

class StatisticsPage : public PageAgainstDevice {
protected:
    // Radio 1's transmitted frame counter starts above 2^31.
    QStringList deviceArguments() const override
    {
        const QString path = stateDir.filePath("counters.json");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(R"({"model": "VTA-3100QX", "kind": "state", "variables": {
            "1.3.6.1.4.1.32473.10.37.24.4.3.1.1.7.1": {"name": "tx", "type": "counter32", "value": 3000000000}}})");
        return {"--state-in", path};
    }
    QTemporaryDir stateDir;
};

TEST_F(StatisticsPage, ShowsRatesAndUnsignedCountersAndRefreshShowsTheResetOnes)
{
    TFM_Static page;
    EXPECT_EQ(page.windowTitle(), "Status \\ Stats");
    EXPECT_EQ(page.size(), page.Scale().Size(QSize(362, 617))) << "the documented size, scaled by the font";
    EXPECT_EQ(child<QTabWidget>(&page, "PC_Static")->tabText(0), "IEEE 802.11g");
    EXPECT_FALSE(TabSheetVisible(child<QWidget>(&page, "TabSheetG")));

    EXPECT_EQ(text(&page, "Ed_TranSuRata"), "98");
    EXPECT_EQ(text(&page, "Ed_TranReRata"), "2");
    EXPECT_EQ(text(&page, "Ed_RcvSuRata"), "98");
    EXPECT_EQ(text(&page, "Ed_RcvDuRata"), "2");
    bool number = false;
    const qulonglong transmitted = text(&page, "Ed_TranFrCnta").toULongLong(&number);
    EXPECT_TRUE(number) << text(&page, "Ed_TranFrCnta").toStdString();
    EXPECT_GE(transmitted, 3000000000ULL);
    EXPECT_LT(transmitted, 3000100000ULL);
    for (const char* edit : {"Ed_RTSSuCnta", "Ed_RcvFrmCnta", "Ed_WEPIErrCnta"}) {
        text(&page, edit).toULongLong(&number);
        EXPECT_TRUE(number) << edit;
    }

    restartDevice(device->port());
    child<QPushButton>(&page, "Bt_RfrshA")->click();
    EXPECT_LT(text(&page, "Ed_TranFrCnta").toULongLong(), 10000ULL);
    EXPECT_TRUE(recorder.messages.empty());
}

using StatusPagesWithoutDevice = PageWithoutDevice;

// Each opening waits for its reads only, says so where it has a place for it, and the page
// stays usable.
TEST_F(StatusPagesWithoutDevice, OpenWithinTheirTimeOutsAndSayWhy)
{
    const qint64 exchange = 2 * kTimeout * 10;  // one exchange with its retry, in ms
    QElapsedTimer clock;
    clock.start();
    {
        TFM_DevInfo page;
        EXPECT_LT(clock.elapsed(), 2 * exchange + 1500);
        EXPECT_TRUE(child<QvStatusBar>(&page, "StatusBar")->SimpleText().contains("timed out"))
            << child<QvStatusBar>(&page, "StatusBar")->SimpleText().toStdString();
        EXPECT_TRUE(text(&page, "Ed_Mac").isEmpty() || text(&page, "Ed_Mac") == "(NULL)");
        clock.restart();
        child<QPushButton>(&page, "Bt_Refa")->click();
        EXPECT_LT(clock.elapsed(), exchange + 1500);
        page.show();
        page.close();
        EXPECT_FALSE(page.isVisible());
    }
    clock.restart();
    {
        TFM_Static page;
        EXPECT_LT(clock.elapsed(), exchange + 1500);
        child<QPushButton>(&page, "Bt_RfrshA")->click();
        page.show();
        page.close();
        EXPECT_FALSE(page.isVisible());
    }
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
}

} // namespace
