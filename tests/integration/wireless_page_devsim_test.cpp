// The wireless page against the simulated device: what it shows when it opens, what each
// Apply writes (the device's state before and after), the restart wait, the masked keys and
// the site survey. Timers run at a twentieth of their time.
#include "support/PageTestKit.h"

#include "binding/QvStatusBar.h"
#include "pages/home/TFM_Wirless.h"

#include <QComboBox>
#include <QGroupBox>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <functional>

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
const QString kRadiusServer = P + ".2.5.2.3.0";

constexpr uint8_t kInteger = 2;

void choose(QComboBox* box, const QString& text)
{
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

class WirelessAgainstDevice : public ModuleAgainstDevice {
protected:
    void TearDown() override
    {
        page.reset();
        ModuleAgainstDevice::TearDown();
    }
    // Integer settings the device holds before the page opens (instance OID = value).
    void deviceHolds(const std::map<QString, int>& settings)
    {
        std::vector<SnmpVarBind> vbs;
        for (const auto& [oid, value] : settings)
            vbs.push_back(Bind(oid, kInteger, {}, value));
        ASSERT_EQ(set(vbs).status, 0);
    }
    // Opens the page as a user finds it: the auto channel scan, read without waiting, has
    // arrived (an Apply before it would have to refuse the setting it could not read).
    void open()
    {
        page = std::make_unique<TFM_Wirless>(main.get());
        auto* autoScan = child<QComboBox>(page.get(), "CB_AuSc");
        EXPECT_TRUE(waitFor([&] { return autoScan->currentIndex() >= 0; }, 5000));
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

    std::unique_ptr<TFM_Wirless> page;
};

TEST_F(WirelessAgainstDevice, OpensWithTheDevicesSettingsAndAppliesInAccessPointMode)
{
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
    EXPECT_EQ(page->height(), page->Scale().Y(132 + 244)) << "the window's designed height, scaled by the font";

    const auto before = settings();
    child<QLineEdit>(page.get(), "Ed_SSIDa")->setText("lobby-ap");
    channel->setCurrentIndex(channel->findText("11"));
    WaitWatcher waits;
    apply();
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join(" | ").toStdString();
    EXPECT_EQ(waits.firstCountdowns, QStringList({"40"}));
    EXPECT_EQ(status(), "Setting Success!");
    // Only what changed reaches the device; no WDS partner, key or RADIUS item is written
    // (the device would refuse them, see the next tests).
    EXPECT_EQ(changes(before, settings()), (std::map<QString, QString>{{kSsid, "lobby-ap"}, {kChannel, "11"}}));
    EXPECT_EQ(child<QLineEdit>(page.get(), "Ed_SSIDa")->text(), "lobby-ap") << "read again after the restart";
}

// Refuses the items that an Apply in "Access Point" with open access must leave alone.
class WirelessRefusingUnusedItems : public WirelessAgainstDevice {
protected:
    QStringList deviceArguments() const override
    {
        QStringList arguments;
        for (const QString& oid : {kWds + "1", kValidKey, kKey1, kPassPhrase, P + ".2.5.2.4.0", P + ".2.3.1.11.1"})
            arguments << "--refuse-set" << oid + "=17";
        return arguments;
    }
};

TEST_F(WirelessRefusingUnusedItems, AccessPointModeWritesNoPartnerAndNoUnusedSecurityItem)
{
    open();
    apply();
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join(" | ").toStdString();
    EXPECT_EQ(status(), "Setting Success!");
}

TEST_F(WirelessAgainstDevice, WdsWithApWritesThePartnersAndSwitchesGuestsAndAutoScanOff)
{
    deviceHolds({{kGuest1, 1}, {kVlan, 1}, {kAutoScan, 1}});
    open();
    choose(child<QComboBox>(page.get(), "ED_APModeTempComboBox"), "WDS with AP");
    EXPECT_EQ(page->height(), page->Scale().Y(272 + 244)) << "the window's designed height, scaled by the font";
    child<QLineEdit>(page.get(), "Ed_ReMAddra0")->setText("00e0a6112233");
    const auto before = settings();
    WaitWatcher waits;
    apply();
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join(" | ").toStdString();
    EXPECT_EQ(waits.firstCountdowns, QStringList({"50"})) << "a WDS link takes longer to come up";
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
    deviceHolds({{kGuest1, 1}, {kGuestAuth1, 3}, {kGuestAuth2, 2}});
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

class WirelessRefusingTheSsid : public WirelessAgainstDevice {
protected:
    QStringList deviceArguments() const override { return {"--refuse-set", kSsid + "=17"}; }
};

TEST_F(WirelessRefusingTheSsid, AFailedFirstWriteShowsSettingErrorWithoutTheWaitDialog)
{
    open();
    child<QLineEdit>(page.get(), "Ed_SSIDa")->setText("lobby-ap");
    choose(child<QComboBox>(page.get(), "ED_APModeTempComboBox"), "WDS");
    child<QLineEdit>(page.get(), "Ed_ReMAddra0")->setText("00E0A6112233");
    WaitWatcher waits;
    apply();
    EXPECT_EQ(waits.dialogsShown, 0);
    EXPECT_EQ(status(), "Setting error!");
    EXPECT_EQ(device->value(kApMode), "1") << "the writes after the failed one are not made";
    // The page was read again: it shows what the device holds.
    EXPECT_EQ(child<QLineEdit>(page.get(), "Ed_SSIDa")->text(), "VTA3100QX");
    EXPECT_EQ(child<QComboBox>(page.get(), "ED_APModeTempComboBox")->currentText(), "Access Point");
}

TEST_F(WirelessAgainstDevice, AsciiKeysAreWrittenAsHexAndMaskedKeysAreLeftAlone)
{
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

// A character beyond ASCII has no one-byte code on the device: an ASCII key and an SSID that
// hold one get the device's own refusal, and nothing is written (a key was once sent as the
// cut UTF-8 bytes, "abcdé" as 61626364c3).
TEST_F(WirelessAgainstDevice, NonAsciiCharactersAreRefusedInKeysAndSsids)
{
    open();
    const auto before = settings();
    // 32 characters, 33 bytes: the character is refused, not the length.
    child<QLineEdit>(page.get(), "Ed_SSIDa")->setText(QString::fromUtf8("caf\u00e9-lobby-access-point-nr-00001"));
    ASSERT_EQ(child<QLineEdit>(page.get(), "Ed_SSIDa")->text().size(), 32);
    apply();
    EXPECT_EQ(recorder.texts(), QStringList({"Don't support chinese characters !"}));
    child<QLineEdit>(page.get(), "Ed_SSIDa")->setText("VTA3100QX");

    recorder.messages.clear();
    choose(child<QComboBox>(page.get(), "Ed_SecAuthaTemp"), "Shared Key");
    choose(child<QComboBox>(page.get(), "Ed_KeyType"), "ASCII");
    child<QLineEdit>(page.get(), "Ed_Key1a")->setText(QString::fromUtf8("abcd\u00e9"));
    WaitWatcher waits;
    apply();
    EXPECT_EQ(recorder.texts(), QStringList({"Don't support chinese characters !"}));
    ASSERT_FALSE(recorder.messages.empty());
    EXPECT_EQ(recorder.messages[0].caption, "Error");
    EXPECT_EQ(waits.dialogsShown, 0);
    EXPECT_EQ(changes(before, settings()), (std::map<QString, QString>{}));
}

// An Apply's checks leave out what its write does not need; Refresh reads every item again.
TEST_F(WirelessAgainstDevice, RefreshReadsAgainWhatAnApplyLeftOut)
{
    open();
    choose(child<QComboBox>(page.get(), "Ed_SecAuthaTemp"), "WPA-PSK");
    child<QLineEdit>(page.get(), "PassPhrasePSKEdit")->setText("lobby-pass");
    apply();
    ASSERT_EQ(status(), "Setting Success!") << recorder.texts().join(" | ").toStdString();
    // Another manager changes what this page left out of its write.
    ASSERT_EQ(set({Bind(kRadiusServer, 0x40, std::string{char(10), char(1), char(2), char(3)})}).status, 0);
    ASSERT_EQ(set({Bind(kWds + "1", 4, std::string("\x00\xE0\xA6\x11\x22\x33", 6))}).status, 0);
    child<QPushButton>(page.get(), "Bt_Refresh")->click();
    EXPECT_EQ(child<QLineEdit>(page.get(), "RadiusServerEdit")->text(), "10.1.2.3");
    EXPECT_EQ(child<QLineEdit>(page.get(), "Ed_ReMAddra0")->text(), "00E0A6112233");
}

// 802.1x has no group key interval: its RADIUS write leaves the device's interval as it is.
TEST_F(WirelessAgainstDevice, Dot1xWritesTheRadiusServerButNotTheGroupKeyInterval)
{
    const QString interval = P + ".2.5.1.1.6.1";
    deviceHolds({{interval, 1234}});
    open();
    choose(child<QComboBox>(page.get(), "Ed_SecAuthaTemp"), "802.1x");
    child<QLineEdit>(page.get(), "RadiusServerEdit")->setText("10.1.2.3");
    child<QLineEdit>(page.get(), "RadiusportEdit")->setText("1812");
    child<QLineEdit>(page.get(), "RadiusSecretEdit")->setText("secret1");
    child<QLineEdit>(page.get(), "GroupKeyEdit")->setText("300");
    apply();
    EXPECT_EQ(status(), "Setting Success!") << recorder.texts().join(" | ").toStdString();
    EXPECT_EQ(device->value(kAuth), "4");
    EXPECT_EQ(device->value(kRadiusServer), "10.1.2.3");
    EXPECT_EQ(device->value(interval), "1234");
}

// Each write must succeed before the next: a refused step after the first shows the page's
// failure text, makes no later write and shows no wait dialog.
struct RefusedStep {
    const char* name;
    QString refused;
    std::function<void(TFM_Wirless& page)> choose;
    std::map<QString, QString> unchanged;  // written only after the refused step
};

class WirelessRefusingAStep : public WirelessAgainstDevice, public ::testing::WithParamInterface<RefusedStep> {
protected:
    QStringList deviceArguments() const override { return {"--refuse-set", GetParam().refused + "=17"}; }
};

TEST_P(WirelessRefusingAStep, EndsTheApplyThere)
{
    open();
    GetParam().choose(*page);
    WaitWatcher waits;
    apply();
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join(" | ").toStdString();
    EXPECT_EQ(status(), "Setting error!");
    EXPECT_EQ(waits.dialogsShown, 0);
    for (const auto& [oid, value] : GetParam().unchanged)
        EXPECT_EQ(device->value(oid), value) << oid.toStdString();
}

void ChooseWpaPsk(TFM_Wirless& page)
{
    choose(child<QComboBox>(&page, "Ed_SecAuthaTemp"), "WPA-PSK");
    child<QLineEdit>(&page, "PassPhrasePSKEdit")->setText("lobby-pass");
}

INSTANTIATE_TEST_SUITE_P(
    Steps, WirelessRefusingAStep,
    ::testing::Values(
        RefusedStep{"ApMode", kApMode, ChooseWpaPsk, {{kAuth, "1"}, {kPassPhrase, ""}}},
        RefusedStep{"Wep", kAuth, ChooseWpaPsk, {{kPassPhrase, ""}}},
        RefusedStep{"Psk", kPassPhrase, ChooseWpaPsk, {{kGuestAuth1, "1"}}},
        RefusedStep{"Radius", kRadiusServer,
                    [](TFM_Wirless& page) {
                        choose(child<QComboBox>(&page, "Ed_SecAuthaTemp"), "WPA-EAP");
                        child<QLineEdit>(&page, "RadiusServerEdit")->setText("10.1.2.3");
                        child<QLineEdit>(&page, "RadiusSecretEdit")->setText("secret1");
                        child<QLineEdit>(&page, "GroupKeyEdit")->setText("1800");
                    },
                    {{kGuest1, "0"}}},
        RefusedStep{"GuestState", kGuest1, ChooseWpaPsk, {}}),
    [](const ::testing::TestParamInfo<RefusedStep>& info) { return std::string(info.param.name); });

// A device that holds a shared key and refuses every write of it: a write of the masked key
// would end the Apply with an error.
class WirelessWithAKeptKey : public WirelessAgainstDevice {
protected:
    QStringList deviceArguments() const override
    {
        const QJsonObject variables{{kAuth, QJsonObject{{"type", "integer"}, {"value", 2}}},
                                    {kEncryption, QJsonObject{{"type", "integer"}, {"value", 1}}},
                                    {kKey1, QJsonObject{{"type", "string"}, {"value", "6162636465"}}}};
        return {"--state-in", WriteDeviceState(folder.filePath("state-in.json"), variables), "--refuse-set",
                kKey1 + "=17"};
    }
};

TEST_F(WirelessWithAKeptKey, AMaskedKeyIsNotWrittenAndTheRestIs)
{
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
    deviceHolds({{kApMode, 4}});
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
    const int bssid = columnNamed(survey, " BSSID"), ssid = columnNamed(survey, " SSID");
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
