// The wireless page against the simulated device: what it shows when it opens, what each
// Apply writes (the device's state before and after), the restart wait, the masked keys and
// the site survey. Timers run at a twentieth of their time.
#include "support/DevsimAgent.h"
#include "support/DialogRecorder.h"
#include "binding/QvStatusBar.h"
#include "pages/home/TFM_Wirless.h"
#include "pages/home/WirlessRadio.h"
#include "platform/TimeScale.h"
#include "shell/TFM_Waiting.h"
#include "shell/TMainForm.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <fstream>
#include <gtest/gtest.h>

static void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

const QString P = "1.3.6.1.4.1.32473.10.37.24";
const QString kSsid = P + ".1.1.1.1.1";
const QString kChannel = P + ".1.1.1.3.1";
const QString kApMode = P + ".2.1.1.1.1";
const QString kWds = P + ".2.2.1.2.1.";  // + slot 1..8
const QString kAutoScan = P + ".2.3.1.14.1";
const QString kAuth = P + ".2.5.1.1.1.1";
const QString kEncryption = P + ".2.5.1.1.2.1";
const QString kValidKey = P + ".2.5.1.1.3.1";
const QString kKey1 = P + ".2.5.3.1.1.1.1";
const QString kVlan = P + ".2.9.3.1.1.0";
const QString kGuest1 = P + ".2.9.2.1.2.1.1";
const QString kGuestAuth1 = P + ".2.9.2.1.4.1.1";
const QString kGuestAuth2 = P + ".2.9.2.1.4.1.2";
const QString kPassPhrase = P + ".2.5.1.1.4.1";

bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

template <typename Widget = QWidget>
Widget* child(QWidget* page, const char* name)
{
    Widget* widget = page->findChild<Widget*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

void choose(QComboBox* box, const QString& text)
{
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// The countdown each wait dialog started with.
class WaitCountdowns : public QObject {
public:
    WaitCountdowns()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<TFM_Waiting*>(widget); dialog && dialog->isVisible() && dialog != m_last) {
                    m_last = dialog;
                    seen.push_back(dialog->Countdown);
                }
        });
        m_timer.start(2);
    }
    std::vector<int> seen;

private:
    QTimer m_timer;
    TFM_Waiting* m_last = nullptr;
};

class WirelessAgainstDevice : public ::testing::Test {
protected:
    // Starts the device with these settings (instance OID = integer) and the main window.
    void start(const std::map<QString, QJsonValue>& settings = {}, QStringList arguments = {})
    {
        QJsonObject variables;
        for (const auto& [oid, value] : settings)
            variables[oid] = QJsonObject{{"type", value.isString() ? "string" : "integer"}, {"value", value}};
        const QString stateIn = folder.filePath("state-in.json");
        std::ofstream(stateIn.toStdString())
            << QJsonDocument(QJsonObject{{"model", "VTA-3100QX"}, {"kind", "state"}, {"variables", variables}})
                   .toJson()
                   .toStdString();
        arguments << "--restart-seconds" << "1" << "--state-in" << stateIn;
        device = std::make_unique<DevsimAgent>(arguments);
        ASSERT_TRUE(device->start()) << device->error();
        QDir::setCurrent(folder.path());
        qputenv("VTA_LOCK_DIR", folder.path().toLocal8Bit());
        qputenv("VTA_HOST_REGISTRY", folder.filePath("registry.ini").toLocal8Bit());
        std::ofstream(folder.filePath("127.0.0.1.cfg").toStdString())
            << "[Program Information]\nAgentPort=" << device->port() << "\nVersion=1\n";
        TimeScale::setFactor(0.05);
        main = std::make_unique<TMainForm>(std::vector<std::string>{"/I127.0.0.1", "/Rpublic", "/Wprivate"});
        ASSERT_TRUE(waitFor([&] { return main->StatusText() == "Ready. "; })) << main->StatusText().toStdString();
    }
    void TearDown() override
    {
        page.reset();
        main.reset();
        TimeScale::setFactor(1.0);
    }
    void open()
    {
        page = std::make_unique<TFM_Wirless>(main.get());
        recorder.messages.clear();
    }
    void apply() { child<QPushButton>(page.get(), "Bt_Apply")->click(); }
    QString status() const { return page->StatusBar()->SimpleText(); }

    // The page's settings on the device (SSIDs, channels, modes, partners, auto scan,
    // security, guests and VLAN), as the device holds them now.
    std::map<QString, QString> settings()
    {
        static const QStringList prefixes = {".1.1.1.", ".2.1.1.1.", ".2.2.1.2.", ".2.3.1.14.", ".2.3.1.11.",
                                             ".2.5.", ".2.9.2.1.2.", ".2.9.2.1.4.", ".2.9.3.1.1."};
        std::map<QString, QString> result;
        const QJsonObject state = device->state();
        for (auto it = state.begin(); it != state.end(); ++it)
            for (const QString& prefix : prefixes)
                if (it.key().startsWith(P + prefix))
                    result[it.key()] = it.value().toObject().value("value").toVariant().toString();
        return result;
    }
    static std::map<QString, QString> changes(const std::map<QString, QString>& before,
                                              const std::map<QString, QString>& after)
    {
        std::map<QString, QString> changed;
        for (const auto& [oid, value] : after)
            if (before.count(oid) == 0 || before.at(oid) != value)
                changed[oid] = value;
        return changed;
    }

    QTemporaryDir folder;
    DialogRecorder recorder;
    std::unique_ptr<DevsimAgent> device;
    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TFM_Wirless> page;
};

TEST_F(WirelessAgainstDevice, OpensWithTheDevicesSettingsAndAppliesInAccessPointMode)
{
    start();
    open();
    EXPECT_EQ(child<QLineEdit>(page.get(), "Ed_SSIDa")->text(), "VTA3100QX");
    EXPECT_EQ(child<QLineEdit>(page.get(), "Ed_RaFreqa")->text(), "2.4");
    auto* channel = child<QComboBox>(page.get(), "CB_Chana");
    EXPECT_EQ(channel->count(), 11);
    EXPECT_EQ(channel->currentText(), "6");
    EXPECT_EQ(child<QComboBox>(page.get(), "ED_APModeTempComboBox")->currentText(), "Access Point");
    EXPECT_TRUE(child<QGroupBox>(page.get(), "GroupBox1")->isHidden());
    EXPECT_TRUE(child<QGroupBox>(page.get(), "GroupBox3")->isHidden());
    EXPECT_EQ(child<QComboBox>(page.get(), "Ed_SecAuthaTemp")->currentText(), "Open System");
    EXPECT_EQ(child<QComboBox>(page.get(), "Ed_SecEncypa")->currentText(), "Disable");
    EXPECT_EQ(child<QLineEdit>(page.get(), "Ed_SupportUpdateInterval")->text(), "1");
    EXPECT_EQ(child<QLineEdit>(page.get(), "Ed_ReMAddra0")->text(), "") << "an empty slot shows empty";
    EXPECT_EQ(page->height(), 132 + 244);

    const auto before = settings();
    child<QLineEdit>(page.get(), "Ed_SSIDa")->setText("lobby-ap");
    channel->setCurrentIndex(channel->findText("11"));
    WaitCountdowns waits;
    apply();
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join(" | ").toStdString();
    EXPECT_EQ(waits.seen, std::vector<int>{40});
    EXPECT_EQ(status(), "Setting Success!");
    // Only what changed reaches the device; no WDS partner, key or RADIUS item is written
    // (the device would refuse them, see the next tests).
    EXPECT_EQ(changes(before, settings()), (std::map<QString, QString>{{kSsid, "lobby-ap"}, {kChannel, "11"}}));
    EXPECT_EQ(child<QLineEdit>(page.get(), "Ed_SSIDa")->text(), "lobby-ap") << "read again after the restart";
}

TEST_F(WirelessAgainstDevice, AccessPointModeWritesNoPartnerAndNoUnusedSecurityItem)
{
    // Refused items that an Apply in "Access Point" with open access must leave alone.
    start({}, {"--refuse-set", P + ".2.2.1.2.1.1=17", "--refuse-set", kValidKey + "=17", "--refuse-set",
               kKey1 + "=17", "--refuse-set", P + ".2.5.1.1.4.1=17", "--refuse-set", P + ".2.5.2.4.0=17",
               "--refuse-set", P + ".2.3.1.11.1=17"});
    open();
    apply();
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join(" | ").toStdString();
    EXPECT_EQ(status(), "Setting Success!");
}

TEST_F(WirelessAgainstDevice, WdsWithApWritesThePartnersAndSwitchesGuestsAndAutoScanOff)
{
    start({{kGuest1, 1}, {kVlan, 1}, {kAutoScan, 1}});
    open();
    choose(child<QComboBox>(page.get(), "ED_APModeTempComboBox"), "WDS with AP");
    EXPECT_EQ(page->height(), 272 + 244);
    child<QLineEdit>(page.get(), "Ed_ReMAddra0")->setText("00e0a6112233");
    const auto before = settings();
    WaitCountdowns waits;
    apply();
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join(" | ").toStdString();
    EXPECT_EQ(waits.seen, std::vector<int>{50}) << "a WDS link takes longer to come up";
    EXPECT_EQ(status(), "Setting Success!");
    std::map<QString, QString> expected{{kApMode, "2"}, {kWds + "1", "00E0A6112233"}, {kGuest1, "0"},
                                        {kVlan, "0"},   {kAutoScan, "0"}};
    EXPECT_EQ(changes(before, settings()), expected);
    for (int slot = 2; slot <= 8; ++slot)
        EXPECT_EQ(device->value(kWds + QString::number(slot)), "000000000000");
    EXPECT_EQ(child<QLineEdit>(page.get(), "Ed_ReMAddra1")->text(), "");
    EXPECT_EQ(child<QComboBox>(page.get(), "ED_APModeTempComboBox")->currentText(), "WDS with AP");
}

TEST_F(WirelessAgainstDevice, WpaSwitchesTheGuestsWepOff)
{
    // Guest 1 on with a shared key, guest 2 off with open-system WEP: neither can share the
    // radio's keys once it runs WPA.
    start({{kGuest1, 1}, {kGuestAuth1, 3}, {kGuestAuth2, 2}});
    open();
    choose(child<QComboBox>(page.get(), "Ed_SecAuthaTemp"), "WPA-PSK");
    child<QLineEdit>(page.get(), "PassPhrasePSKEdit")->setText("lobby-pass");
    const auto before = settings();
    apply();
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join(" | ").toStdString();
    EXPECT_EQ(status(), "Setting Success!");
    const std::map<QString, QString> expected{
        {kAuth, "6"}, {kPassPhrase, "lobby-pass"}, {kGuestAuth1, "1"}, {kGuestAuth2, "1"}};
    EXPECT_EQ(changes(before, settings()), expected) << "the guests keep their state, only their WEP goes";
}

TEST_F(WirelessAgainstDevice, AFailedFirstWriteShowsSettingErrorWithoutTheWaitDialog)
{
    start({}, {"--refuse-set", kSsid + "=17"});
    open();
    child<QLineEdit>(page.get(), "Ed_SSIDa")->setText("lobby-ap");
    choose(child<QComboBox>(page.get(), "ED_APModeTempComboBox"), "WDS");
    child<QLineEdit>(page.get(), "Ed_ReMAddra0")->setText("00E0A6112233");
    WaitCountdowns waits;
    apply();
    EXPECT_TRUE(waits.seen.empty());
    EXPECT_EQ(status(), "Setting error!");
    EXPECT_EQ(device->value(kApMode), "1") << "the writes after the failed one are not made";
    // The page was read again: it shows what the device holds.
    EXPECT_EQ(child<QLineEdit>(page.get(), "Ed_SSIDa")->text(), "VTA3100QX");
    EXPECT_EQ(child<QComboBox>(page.get(), "ED_APModeTempComboBox")->currentText(), "Access Point");
}

TEST_F(WirelessAgainstDevice, AsciiKeysAreWrittenAsHexAndMaskedKeysAreLeftAlone)
{
    start();
    open();
    choose(child<QComboBox>(page.get(), "Ed_SecAuthaTemp"), "Shared Key");
    choose(child<QComboBox>(page.get(), "Ed_KeyType"), "ASCII");
    child<QLineEdit>(page.get(), "Ed_Key1a")->setText("abcde");
    apply();
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join(" | ").toStdString();
    EXPECT_EQ(status(), "Setting Success!");
    EXPECT_EQ(device->value(kAuth), "2");
    EXPECT_EQ(device->value(kEncryption), "1");
    EXPECT_EQ(device->value(kKey1), "6162636465");
    // Read back masked; the key size follows the key's length and the type is HEX again.
    EXPECT_EQ(child<QLineEdit>(page.get(), "Ed_Key1a")->text(), "**********");
    EXPECT_EQ(child<QComboBox>(page.get(), "Ed_KeyType")->currentText(), "HEX");
    EXPECT_EQ(child<QComboBox>(page.get(), "Ed_KeySize")->currentText(), "64 Bits");

}

TEST_F(WirelessAgainstDevice, AMaskedKeyIsNotWrittenAndTheRestIs)
{
    // The device would refuse the key: a write of it would end the Apply with an error.
    start({{kAuth, 2}, {kEncryption, 1}, {kKey1, "6162636465"}}, {"--refuse-set", kKey1 + "=17"});
    open();
    EXPECT_EQ(child<QLineEdit>(page.get(), "Ed_Key1a")->text(), "**********");
    child<QLineEdit>(page.get(), "Ed_SSIDa")->setText("masked");
    apply();
    EXPECT_EQ(status(), "Setting Success!") << recorder.texts().join(" | ").toStdString();
    EXPECT_EQ(device->value(kSsid), "masked");
    EXPECT_EQ(device->value(kKey1), "6162636465");
}

TEST_F(WirelessAgainstDevice, TheSurveyIsReadAtTheSecondTickAndThePageWaitsForIt)
{
    start({{kApMode, 4}});
    open();
    // The device runs a mode the page does not offer: the design layout with every group.
    EXPECT_EQ(child<QComboBox>(page.get(), "ED_APModeTempComboBox")->currentIndex(), -1);
    EXPECT_FALSE(child<QGroupBox>(page.get(), "GroupBox2")->isHidden());
    EXPECT_FALSE(child<QGroupBox>(page.get(), "GroupBox3")->isHidden());
    EXPECT_FALSE(child<QLineEdit>(page.get(), "Ed_RoMAddra0")->isReadOnly());
    auto* survey = child<QTreeWidget>(page.get(), "SiteServeyListView");
    EXPECT_EQ(survey->topLevelItemCount(), 0) << "not read when the page opens";

    // The ticks are driven by hand: the page is not shown, so its timer does not run.
    auto* scan = child<QPushButton>(page.get(), "SiteScan");
    page->show();
    page->Timer1->stop();
    scan->click();
    EXPECT_FALSE(scan->isEnabled());
    page->close();
    EXPECT_TRUE(page->isVisible()) << "a running scan keeps the page open";
    page->Timer1Timer();
    EXPECT_EQ(survey->topLevelItemCount(), 0) << "the first tick only counts";
    EXPECT_EQ(page->scanIdle, 0);
    page->Timer1Timer();
    EXPECT_EQ(survey->topLevelItemCount(), 5);
    EXPECT_TRUE(survey->isColumnHidden(0));
    EXPECT_EQ(page->scanIdle, 1);
    EXPECT_TRUE(scan->isEnabled());

    // A row chosen becomes the root access point.
    survey->setCurrentItem(survey->topLevelItem(1));
    int bssid = -1, ssid = -1;
    for (int c = 0; c < survey->columnCount(); ++c) {
        if (survey->headerItem()->text(c) == " BSSID")
            bssid = c;
        if (survey->headerItem()->text(c) == " SSID")
            ssid = c;
    }
    ASSERT_GE(bssid, 0);
    ASSERT_GE(ssid, 0);
    EXPECT_EQ(child<QLineEdit>(page.get(), "Ed_RoMAddra0")->text(), survey->topLevelItem(1)->text(bssid));
    EXPECT_EQ(child<QLineEdit>(page.get(), "Ed_SSID")->text(), survey->topLevelItem(1)->text(ssid));

    // Apply keeps the device's mode and writes neither SSID nor partners.
    child<QLineEdit>(page.get(), "Ed_SSIDa")->setText("not-written");
    apply();
    EXPECT_EQ(status(), "Setting Success!") << recorder.texts().join(" | ").toStdString();
    EXPECT_EQ(device->value(kApMode), "4");
    EXPECT_EQ(device->value(kSsid), "VTA3100QX");
    page->close();
    EXPECT_FALSE(page->isVisible());
}

} // namespace
