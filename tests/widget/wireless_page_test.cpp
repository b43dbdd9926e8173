// The wireless page's rules driven through its controls, over the simulated device without a
// main window. The device refuses the SSID, so an Apply that passes every check ends with
// its first write failing ("Setting error!") and no restart.
#include "support/DevsimAgent.h"
#include "support/DialogRecorder.h"
#include "support/PageTestKit.h"
#include "support/SnmpLibrary.h"
#include "binding/Controls.h"
#include "binding/QvStatusBar.h"
#include "pages/home/HomePages.h"
#include "pages/home/TFM_Wirless.h"
#include "pages/home/WirlessRadio.h"
#include "pages/home/WirlessSecurityRules.h"
#include "shell/PageRegistry.h"
#include "snmp/SnmpSettings.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QElapsedTimer>
#include <QCoreApplication>
#include <QEventLoop>
#include <gtest/gtest.h>

namespace {

QComboBox* combo(QWidget* page, const char* name) { return child<QComboBox>(page, name); }
QLineEdit* edit(QWidget* page, const char* name) { return child<QLineEdit>(page, name); }

// As the user chooses an item: the page follows user choices only.
void choose(QComboBox* box, const QString& text)
{
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString() << " is not offered by " << box->objectName().toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

QStringList items(const QComboBox* box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// ---- rules without a page ----

struct ChannelCase {
    const char* list;
    const char* channel;
    QStringList items;
    int selected;
};

TEST(WirelessChannelList, FillsTheDevicesChannelsAndSelectsTheCurrentOne)
{
    const ChannelCase cases[] = {
        {"1 2 3 4 5 6 7 8 9 10 11", "6", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}, 5},
        {"1 2 3", "13", {"1", "2", "3"}, -1},
        {"", "6", {}, -1},
        {"  1  2   3 ", "3", {"1", "2", "3"}, 2},
        {"36 40 44", "44", {"36", "40", "44"}, 2},
    };
    QComboBox box;
    for (const ChannelCase& c : cases) {
        SCOPED_TRACE(c.list);
        WirlessControls::FillChannelList(&box, c.list, c.channel);
        EXPECT_EQ(items(&box), c.items);
        EXPECT_EQ(box.currentIndex(), c.selected);
    }
}

TEST(WirelessSecurityRules, KeyLengthWarningsNameThePositionAndTheLength)
{
    struct Case {
        int key, type, size;
        const char* text;
    };
    const Case cases[] = {
        {0, 0, 0, "The Length of the 1st key in IEEE802.11g must be 10!"},
        {1, 1, 1, "The Length of the 2nd key in IEEE802.11g must be 13!"},
        {2, 0, 2, "The Length of the 3rd key in IEEE802.11g must be 32!"},
        {2, 1, 0, "The Length of the 3rd key in IEEE802.11g must be 5!"},
        {3, 1, 2, "The Lengh of the 4th key in IEEE802.11g must be 16!"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SecurityRules::KeyLengthMessage(c.key, c.type, c.size), c.text);
}

TEST(WirelessSecurityRules, AsciiKeysBecomeLowerCaseHexAndMaskedKeysAreKnown)
{
    EXPECT_EQ(SecurityRules::AsciiToHex("abcde"), "6162636465");
    EXPECT_EQ(SecurityRules::AsciiToHex("A~ 0"), "417e2030");
    // Beyond ASCII the text stays hexadecimal and as long as two digits per character.
    const QString wide = SecurityRules::AsciiToHex(QString::fromUtf8("\xc3\xa9t\xc3\xa9"));
    EXPECT_EQ(wide.size(), 6);
    EXPECT_TRUE(SecurityRules::IsHex(wide));
    EXPECT_TRUE(SecurityRules::IsMasked("**********"));
    EXPECT_FALSE(SecurityRules::IsMasked("*****a****"));
    EXPECT_FALSE(SecurityRules::IsHex("12345G7890"));
}

// ---- the page ----

const QString kSsid = "1.3.6.1.4.1.32473.10.37.24.1.1.1.1.1";
const QString kChannel = "1.3.6.1.4.1.32473.10.37.24.1.1.1.3.1";
const QString kApMode = "1.3.6.1.4.1.32473.10.37.24.2.1.1.1.1";

class WirelessPage : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        device = new DevsimAgent({"--refuse-set", kSsid + "=17"});
        ASSERT_TRUE(device->start()) << device->error();
    }
    static void TearDownTestSuite()
    {
        delete device;
        device = nullptr;
    }
    void SetUp() override { openAgainst(*device); }
    void openAgainst(const DevsimAgent& agent)
    {
        page.reset();
        StartSnmpLibraryOnce();
        SetDefaultSnmpSettings();
        QvSNMPDevice.address = "127.0.0.1";
        QvSNMPDevice.port = agent.port();
        QvSNMPSecurity.version = 1;
        page = std::make_unique<TFM_Wirless>();
        // The auto channel scan is read without waiting; Apply needs its value.
        QElapsedTimer clock;
        clock.start();
        while (page->Radio(0).autoScan->currentIndex() < 0 && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        recorder.messages.clear();
    }
    void TearDown() override
    {
        page.reset();
        SetDefaultSnmpSettings();
    }

    // The user's choices over what the device delivered (its mode "Access Point").
    void deviceShows(const QString& mode, const QString& auth = "Open System", const QString& encryption = "Disable")
    {
        WirlessRadio& r = page->Radio(0);
        r.ssid->setText("lobby");
        r.validKey->setCurrentIndex(0);
        ASSERT_EQ(r.supportFlag->text(), "1");
        choose(r.apModeProxy, mode);
        choose(r.authProxy, auth);
        choose(r.encryption, encryption);
        recorder.messages.clear();
    }
    void click(const char* name) { child<QPushButton>(page.get(), name)->click(); }
    // Apply from a clean status bar: "Setting error!" afterwards means the checks passed.
    void apply()
    {
        page->ShowSimpleStatus("");
        click("Bt_Apply");
    }
    // Without a message box; the writes were reached.
    void expectChecksPassed()
    {
        EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join(" | ").toStdString();
        EXPECT_EQ(page->StatusBar()->SimpleText(), "Setting error!");
    }
    QString onlyMessage()
    {
        EXPECT_EQ(recorder.messages.size(), 1u) << recorder.texts().join(" | ").toStdString();
        return recorder.messages.empty() ? QString() : recorder.messages.front().text + " / " +
                                                          recorder.messages.front().caption;
    }

    static inline DevsimAgent* device = nullptr;
    DialogRecorder recorder;
    std::unique_ptr<TFM_Wirless> page;
};

TEST_F(WirelessPage, ShowsOneRadioUnderTheBandCaptionAndKeepsTheTwinHidden)
{
    auto* sheets = child<QTabWidget>(page.get(), "PC_Wirless");
    EXPECT_EQ(page->windowTitle(), "Home \\ Wireless");
    EXPECT_EQ(sheets->tabText(0), "IEEE 802.11g");
    EXPECT_TRUE(sheets->isTabVisible(0));
    EXPECT_FALSE(sheets->isTabVisible(1));
    EXPECT_EQ(page->Radio(1).wepEdits, nullptr) << "the hidden radio's bindings are not made";
    EXPECT_NE(page->Radio(0).wepEdits, nullptr);
    EXPECT_EQ(edit(page.get(), "Ed_DynChLista")->text(), "6");
    EXPECT_EQ(items(combo(page.get(), "Ed_KeySize")), QStringList({"64 Bits", "128 Bits", "152 Bits"}));
    EXPECT_EQ(items(combo(page.get(), "ED_APModeComboBox")).size(), 5);
    for (const char* name : {"Ed_SSIDg", "CB_Chang", "CB_AuScg", "Ed_SecAuthgTemp", "Ed_ReMAddrg7",
                             "SiteServeyListViewg", "CiphertypeComboBx_g", "GuestKeyIndex3_ComboBoxg"})
        EXPECT_NE(page->findChild<QWidget*>(name), nullptr) << name;
}

TEST_F(WirelessPage, SsidChecksRunInOrderWithTheirTexts)
{
    deviceShows("Access Point");
    struct Case {
        QString ssid;
        QString message;
    };
    const Case cases[] = {
        {QString(33, 'x'), "The Max Length of SSID is 32 in 11g! / Error"},
        {" " + QString(32, 'x'), "The Max Length of SSID is 32 in 11g! / Error"},  // length first
        {" lobby", "The first character can't be blank. / Error"},
        {"", "Please Input SSID in 11g / Warning"},
        {QString::fromUtf8("caf\xc3\xa9"), "Don't support chinese characters ! / Error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ssid.toStdString());
        recorder.messages.clear();
        edit(page.get(), "Ed_SSIDa")->setText(c.ssid);
        click("Bt_Apply");
        EXPECT_EQ(onlyMessage(), c.message);
        EXPECT_EQ(page->StatusBar()->SimpleText(), "") << "nothing was written";
    }
    // A double quote is refused by the shared text check with its own warning.
    recorder.messages.clear();
    edit(page.get(), "Ed_SSIDa")->setText("lob\"by");
    click("Bt_Apply");
    EXPECT_EQ(recorder.messages.size(), 1u);
}

TEST_F(WirelessPage, SharedKeyForcesEncryptionAndDisableLocksTheKeys)
{
    deviceShows("Access Point");
    QComboBox* encryption = combo(page.get(), "Ed_SecEncypa");
    EXPECT_TRUE(encryption->isEnabled());
    EXPECT_FALSE(combo(page.get(), "Ed_SecValKeya")->isEnabled()) << "encryption is off";
    for (const char* name : {"Ed_Key1a", "Ed_Key2a", "Ed_Key3a", "Ed_Key4a"})
        EXPECT_TRUE(edit(page.get(), name)->isReadOnly()) << name;

    choose(combo(page.get(), "Ed_SecAuthaTemp"), "Shared Key");
    EXPECT_EQ(combo(page.get(), "Ed_SecAutha")->currentText(), "Shared Key");
    EXPECT_EQ(encryption->currentText(), "Enable");
    EXPECT_FALSE(encryption->isEnabled());
    EXPECT_TRUE(combo(page.get(), "Ed_SecValKeya")->isEnabled());
    EXPECT_FALSE(edit(page.get(), "Ed_Key1a")->isReadOnly()) << "the valid key is editable";
    EXPECT_TRUE(edit(page.get(), "Ed_Key2a")->isReadOnly());

    choose(combo(page.get(), "Ed_SecValKeya"), "Second");
    EXPECT_TRUE(edit(page.get(), "Ed_Key1a")->isReadOnly());
    EXPECT_FALSE(edit(page.get(), "Ed_Key2a")->isReadOnly());

    choose(combo(page.get(), "Ed_SecAuthaTemp"), "Open System");
    EXPECT_TRUE(encryption->isEnabled());
}

TEST_F(WirelessPage, KeyLengthIsCheckedOnTheValidKeyOnly)
{
    deviceShows("Access Point", "Open System", "Enable");
    choose(combo(page.get(), "Ed_SecValKeya"), "Second");
    choose(combo(page.get(), "Ed_KeyType"), "ASCII");
    choose(combo(page.get(), "Ed_KeySize"), "128 Bits");
    EXPECT_EQ(MaxLength(edit(page.get(), "Ed_Key2a")), 13);
    edit(page.get(), "Ed_Key1a")->setText("short");
    edit(page.get(), "Ed_Key2a")->setText("twelve chars");
    click("Bt_Apply");
    EXPECT_EQ(onlyMessage(), "The Length of the 2nd key in IEEE802.11g must be 13! / Warning");

    recorder.messages.clear();
    choose(combo(page.get(), "Ed_KeySize"), "152 Bits");
    click("Bt_Apply");
    EXPECT_EQ(onlyMessage(), "The Lengh of the 2nd key in IEEE802.11g must be 16! / Warning");

    // A HEX key with a letter beyond F is refused and cleared.
    recorder.messages.clear();
    choose(combo(page.get(), "Ed_KeyType"), "HEX");
    choose(combo(page.get(), "Ed_KeySize"), "64 Bits");
    edit(page.get(), "Ed_Key2a")->setText("12345678GH");
    click("Bt_Apply");
    EXPECT_EQ(onlyMessage(), "Please input  Hexadecimal digits! / Warning");
    EXPECT_EQ(edit(page.get(), "Ed_Key2a")->text(), "");
}

TEST_F(WirelessPage, Dot1xHidesTheIntervalAndOffersOnlyWep)
{
    deviceShows("Access Point");
    choose(combo(page.get(), "Ed_SecAuthaTemp"), "802.1x");
    EXPECT_TRUE(child<QGroupBox>(page.get(), "GroupBox4")->isHidden());
    EXPECT_FALSE(child<QGroupBox>(page.get(), "GroupBox5")->isHidden());
    EXPECT_TRUE(edit(page.get(), "GroupKeyEdit")->isHidden());
    EXPECT_EQ(items(combo(page.get(), "CiphertypeComBx")), QStringList({"WEP"}));

    choose(combo(page.get(), "Ed_SecAuthaTemp"), "WPA-EAP");
    EXPECT_FALSE(edit(page.get(), "GroupKeyEdit")->isHidden());
    EXPECT_EQ(items(combo(page.get(), "CiphertypeComBx")), QStringList({"Auto", "AES", "TKIP"}));

    // The RADIUS checks, in order.
    struct Case {
        const char *interval, *server, *port, *secret, *message;
    };
    const Case cases[] = {
        {"", "10.0.0.2", "1812", "abc", "Please input a number between 300 and 18000. / Error"},
        {"299", "10.0.0.2", "1812", "abc", "Please input a number between 300 and 18000. / Error"},
        {"300", "10.0.0.255", "1812", "abc", "The Radius server's IP is illegal. / Error"},
        {"300", "10.0.0.2", "", "abc", "Please input a number between 1 and 65535. / Error"},
        {"300", "10.0.0.2", "1812", "ab-c", "Please input Radius Secret format xxxxxx(x:0-9;A-z) / Warning"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        recorder.messages.clear();
        edit(page.get(), "GroupKeyEdit")->setText(c.interval);
        edit(page.get(), "RadiusServerEdit")->setText(c.server);
        edit(page.get(), "RadiusportEdit")->setText(c.port);
        edit(page.get(), "RadiusSecretEdit")->setText(c.secret);
        click("Bt_Apply");
        EXPECT_EQ(onlyMessage(), c.message);
    }
}

TEST_F(WirelessPage, WdsModesLimitAuthenticationsAndFixTheChannel)
{
    deviceShows("Access Point", "WPA2-PSK");
    combo(page.get(), "CB_AuSc")->setCurrentIndex(1);
    choose(combo(page.get(), "CB_AuSc"), "Enable");
    EXPECT_FALSE(combo(page.get(), "CB_Chana")->isEnabled());
    choose(combo(page.get(), "CB_AuSc"), "Disable");
    EXPECT_TRUE(combo(page.get(), "CB_Chana")->isEnabled());
    choose(combo(page.get(), "CB_AuSc"), "Enable");
    EXPECT_EQ(combo(page.get(), "Ed_SecAuthaTemp")->count(), 10);
    EXPECT_TRUE(child<QGroupBox>(page.get(), "GroupBox1")->isHidden());

    choose(combo(page.get(), "ED_APModeTempComboBox"), "WDS");
    EXPECT_EQ(combo(page.get(), "ED_APModeComboBox")->currentText(), "WDS");
    EXPECT_FALSE(child<QGroupBox>(page.get(), "GroupBox1")->isHidden());
    EXPECT_EQ(child<QGroupBox>(page.get(), "GroupBox1")->title(), " WDS without AP ");
    EXPECT_EQ(items(combo(page.get(), "Ed_SecAuthaTemp")),
              QStringList({"Open System", "Shared Key", "Open System / Shared Key", "WPA-PSK"}));
    EXPECT_EQ(combo(page.get(), "Ed_SecAuthaTemp")->currentText(), "Open System") << "WPA2-PSK is not offered";
    EXPECT_EQ(combo(page.get(), "CB_AuSc")->currentText(), "Disable");
    EXPECT_FALSE(combo(page.get(), "CB_AuSc")->isEnabled());
    EXPECT_TRUE(combo(page.get(), "CB_Chana")->isEnabled());
    EXPECT_FALSE(edit(page.get(), "Ed_ReMAddra0")->isReadOnly());

    // With the support flag a WDS link takes AES only and keeps its group key interval.
    choose(combo(page.get(), "Ed_SecAuthaTemp"), "WPA-PSK");
    EXPECT_EQ(items(combo(page.get(), "CipherforPSKBx")), QStringList({"AES"}));
    EXPECT_TRUE(edit(page.get(), "GroupKeyPSKEdit")->isHidden());
    choose(combo(page.get(), "ED_APModeTempComboBox"), "WDS with AP");
    EXPECT_EQ(child<QGroupBox>(page.get(), "GroupBox1")->title(), " WDS with AP ");
    EXPECT_EQ(items(combo(page.get(), "CipherforPSKBx")), QStringList({"Auto", "AES"}));
    choose(combo(page.get(), "ED_APModeTempComboBox"), "Access Point");
    EXPECT_EQ(items(combo(page.get(), "CipherforPSKBx")), QStringList({"Auto", "AES", "TKIP"}));
    EXPECT_FALSE(edit(page.get(), "GroupKeyPSKEdit")->isHidden());
}

TEST_F(WirelessPage, WdsPartnersAreCheckedBeforeAnythingIsWritten)
{
    deviceShows("WDS with AP");
    struct Case {
        QStringList partners;
        const char* message;
    };
    const Case cases[] = {
        // Duplicates are found whatever the letter case.
        {{"00E0A6AABBCC", "", "00e0a6aabbcc"}, "Exist same MAC address in 802.11g. / Warning"},
        {{"", "00E0A6AABBCC"}, "Please input MAC address in first blank space! / Warning"},
        {{"00E0A6AABBC"}, "The length is 12 in IEEE802.11g MAC address. / Error"},
        {{"00E0A6AABBCC", "00E0A6AABB"}, "The length is 12 in IEEE802.11g MAC address. / Error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        recorder.messages.clear();
        for (int i = 0; i < 8; ++i)
            page->Radio(0).wds[static_cast<size_t>(i)]->setText(i < c.partners.size() ? c.partners[i] : "");
        click("Bt_Apply");
        EXPECT_EQ(onlyMessage(), c.message);
        // The empty slots filled with zeros for the check show empty again.
        EXPECT_EQ(edit(page.get(), "Ed_ReMAddra7")->text(), "");
    }
}

TEST_F(WirelessPage, TheTwinComparesItsPartnersAsTypedAndNamesItsBand)
{
    deviceShows("Access Point");
    // A test may show the second sheet; the twin's rules then run too.
    SetTabSheetVisible(child<QWidget>(page.get(), "TS_11g"), true);
    WirlessRadio& twin = page->Radio(1);
    twin.apMode->setCurrentIndex(1);
    twin.ssid->setText("");
    click("Bt_Apply");
    EXPECT_EQ(onlyMessage(), "Please Input SSID in 11g / Warning");
    EXPECT_EQ(child<QTabWidget>(page.get(), "PC_Wirless")->currentWidget(), twin.sheet);

    recorder.messages.clear();
    twin.ssid->setText("second");
    page->Radio(0).wds[0]->setText("00e0a6aabbcc");
    page->Radio(0).wds[1]->setText("00E0A6AABBCC");
    click("Bt_Apply");
    EXPECT_EQ(onlyMessage(), "Exist same MAC address in 802.11g. / Warning") << "radio 1 ignores letter case";

    // Radio 2 takes the two spellings as two partners; Apply goes on to the writes, of which
    // the first fails: no wait dialog, "Setting error!".
    recorder.messages.clear();
    page->Radio(0).wds[1]->setText("00E0A6AABBCD");
    twin.wds[0]->setText("00e0a6aabbcc");
    twin.wds[1]->setText("00E0A6AABBCC");
    click("Bt_Apply");
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join(" | ").toStdString();
    EXPECT_EQ(page->StatusBar()->SimpleText(), "Setting error!");

    // Where the twin's texts differ from radio 1's, they name its own band: a guest using
    // the slot of its valid key. (The creation runs again, so the twin's lists are filled.)
    page->FormCreate();
    recorder.messages.clear();
    choose(twin.authProxy, "Open System");
    choose(twin.encryption, "Enable");
    twin.guestState[1]->setCurrentText("enabled");
    twin.guestAuth[1]->setCurrentText("Shared Key");
    twin.guestKeyIndex[1]->setCurrentText("Third");
    choose(twin.validKey, "Third");
    EXPECT_EQ(onlyMessage(), "The 11g master SSID's key index is same as Guest SSID2 / Warning");
}

TEST_F(WirelessPage, TheDemosSecondPictureShowsTheWdsLayoutWithoutWritingIt)
{
    RegisterHomePages();
    std::vector<PageRegistry::View> views;
    for (const PageRegistry::Page& registered : PageRegistry::inMenuOrder())
        if (registered.item == MenuItem::Wireless)
            views = registered.views;
    PageRegistry::clear();
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].name, "wds-with-ap");

    views[0].show(page.get());
    EXPECT_EQ(combo(page.get(), "ED_APModeTempComboBox")->currentText(), "WDS with AP");
    EXPECT_FALSE(child<QGroupBox>(page.get(), "GroupBox1")->isHidden());
    EXPECT_EQ(page->height(), page->Scale().Y(272 + 244)) << "the window's designed height, scaled by the font";
    EXPECT_EQ(device->value(kApMode), "1") << "the device stays an access point";
}

TEST_F(WirelessPage, PassPhraseAndItsGroupKeyIntervalAreChecked)
{
    const QString interval = "Please input a number between 300 and 18000. / Error";
    const QString length = "The length of 802.11g PassPhrase is between 8 and 63. / Error";
    struct Case {
        const char* mode;
        const char* interval;
        QString passPhrase;
        QString message;  // none: the checks pass
    };
    const Case cases[] = {
        {"Access Point", "", "12345678", interval},
        {"Access Point", "299", "12345678", interval},
        {"Access Point", "18001", "12345678", interval},
        {"Access Point", "300", "1234567", length},
        {"Access Point", "18000", QString(64, 'p'), length},  // typing stops at 63, pasting does not
        {"Access Point", "300", "pass\"word", "Quotation Mark (\") is not accepted / Warning"},
        {"Access Point", "300", "12345678", ""},
        {"Access Point", "18000", QString(63, 'p'), ""},
        // With the support flag a WDS link keeps the device's interval: it is not checked.
        {"WDS", "", "1234567", length},
        {"WDS", "", "12345678", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " / " + c.interval + " / " + c.passPhrase.toStdString());
        deviceShows(c.mode, "WPA-PSK");
        page->Radio(0).wds[0]->setText("00E0A6AABBCC");
        edit(page.get(), "GroupKeyPSKEdit")->setText(c.interval);
        edit(page.get(), "PassPhrasePSKEdit")->setText(c.passPhrase);
        apply();
        if (c.message.isEmpty()) {
            expectChecksPassed();
            continue;
        }
        EXPECT_EQ(onlyMessage(), c.message);
        EXPECT_EQ(page->StatusBar()->SimpleText(), "") << "nothing was written";
        if (c.message == interval) {
            EXPECT_EQ(edit(page.get(), "GroupKeyPSKEdit")->text(), "") << "a wrong interval is cleared";
        }
    }
}

TEST_F(WirelessPage, AGuestUsingTheValidKeysSlotBlocksApply)
{
    struct Case {
        const char* encryption;
        const char* validKey;
        int guest;  // the guest set up; the other two are off
        const char *state, *auth, *keyIndex;
        QString message;  // none: the checks pass
    };
    const Case cases[] = {
        {"Enable", "First", 0, "enabled", "Open System", "First",
         "The 11a master SSID's key index is same as Guest SSID1 / Warning"},
        {"Enable", "Second", 1, "enabled", "Shared Key", "Second",
         "The 11a master SSID's key index is same as Guest SSID2 / Warning"},
        {"Enable", "Fourth", 2, "enabled", "Open System", "Fourth",
         "The 11a master SSID's key index is same as Guest SSID3 / Warning"},
        {"Enable", "First", 0, "enabled", "None", "First", ""},          // the guest uses no key
        {"Enable", "First", 0, "disabled", "Open System", "First", ""},  // the guest is off
        {"Enable", "First", 0, "enabled", "Open System", "Second", ""},  // another slot
        {"Disable", "First", 0, "enabled", "Open System", "First", ""},  // the main SSID uses no key
    };
    WirlessRadio& r = page->Radio(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString() + " " + c.state + " " + c.auth + " " + c.keyIndex);
        deviceShows("Access Point", "Open System", c.encryption);
        for (QLineEdit* key : r.keys)
            key->setText("0123456789");
        if (r.validKey->isEnabled())
            choose(r.validKey, c.validKey);
        for (int guest = 0; guest < 3; ++guest) {
            const bool chosen = guest == c.guest;
            r.guestState[guest]->setCurrentText(chosen ? c.state : "disabled");
            r.guestAuth[guest]->setCurrentText(chosen ? c.auth : "None");
            r.guestKeyIndex[guest]->setCurrentText(chosen ? c.keyIndex : "First");
        }
        recorder.messages.clear();
        apply();
        if (c.message.isEmpty()) {
            expectChecksPassed();
            continue;
        }
        EXPECT_EQ(onlyMessage(), c.message);
        EXPECT_EQ(page->StatusBar()->SimpleText(), "") << "nothing was written";
    }

    // Choosing the slot warns at once and changes nothing else.
    deviceShows("Access Point", "Open System", "Enable");
    r.guestState[1]->setCurrentText("enabled");
    r.guestAuth[1]->setCurrentText("Shared Key");
    r.guestKeyIndex[1]->setCurrentText("Third");
    page->ShowSimpleStatus("");
    choose(r.validKey, "Third");
    EXPECT_EQ(onlyMessage(), "The 11a master SSID's key index is same as Guest SSID2 / Warning");
    EXPECT_EQ(r.validKey->currentText(), "Third");
    EXPECT_EQ(page->StatusBar()->SimpleText(), "");
}

TEST_F(WirelessPage, RepeaterAndClientModesCheckTheirOwnFields)
{
    // A device of its own that also refuses the AP mode: in these modes the SSID is not
    // written, so the first write (SSID, broadcast, channel) passes and the second fails.
    DevsimAgent own({"--refuse-set", kSsid + "=17", "--refuse-set", kApMode + "=17"});
    ASSERT_TRUE(own.start()) << own.error();
    openAgainst(own);
    struct Case {
        const char* mode;  // as the device reports it
        const char *rootMac, *clientSsid;
        QString message;   // none: the checks pass
        const char* channel;  // chosen; the device holds it afterwards when the checks pass
    };
    const Case cases[] = {
        {"AP Repeater", "", "", "Please input MAC address in blank space! / Error", "3"},
        {"AP Repeater", "00E0A6AABBC", "", "The length is 12 in IEEE802.11g Root AP MAC Address. / Error", "3"},
        {"AP Repeater", "00E0A6AABBCC", "", "", "11"},
        {"AP Client", "", "", "Please input the SSID. / Warning", "3"},
        {"AP Client", "", " uplink", "The first character can't be blank. / Error", "3"},
        {"AP Client", "", "uplink", "", "1"},
    };
    WirlessRadio& r = page->Radio(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " / " + c.rootMac + " / " + c.clientSsid);
        deviceShows("Access Point");
        r.apMode->setCurrentText(c.mode);
        page->PC_WirlessChange();
        EXPECT_EQ(r.apModeProxy->currentIndex(), -1) << "a mode the page does not offer";
        r.rootMac->setText(c.rootMac);
        r.clientSsid->setText(c.clientSsid);
        const QString before = own.value(kChannel);
        r.channel->setCurrentText(c.channel);
        apply();
        if (c.message.isEmpty()) {
            EXPECT_EQ(own.value(kChannel), c.channel) << "the first write holds no SSID";
            expectChecksPassed();
            continue;
        }
        EXPECT_EQ(onlyMessage(), c.message);
        EXPECT_EQ(page->StatusBar()->SimpleText(), "") << "nothing was written";
        EXPECT_EQ(own.value(kChannel), before);
    }
}

TEST_F(WirelessPage, TheTwinScansItsOwnRadio)
{
    // A device whose second radio shows: the sheet is made visible and the creation runs
    // again, so the twin's bindings exist (radio 1's are made once more).
    SetTabSheetVisible(child<QWidget>(page.get(), "TS_11g"), true);
    page->FormCreate();
    ASSERT_NE(page->Radio(1).scanCmdEdits, nullptr);
    auto* scan = child<QPushButton>(page.get(), "SiteScang");
    auto* survey = child<QTreeWidget>(page.get(), "SiteServeyListViewg");

    scan->click();
    EXPECT_EQ(combo(page.get(), "SiteScanComboBoxg")->currentText(), "refresh");
    EXPECT_FALSE(scan->isEnabled());
    EXPECT_TRUE(child<QPushButton>(page.get(), "SiteScan")->isEnabled()) << "radio 1 does not scan";
    EXPECT_EQ(page->surveyRadio, 1);
    EXPECT_FALSE(page->FormCloseQuery()) << "a running scan keeps the page open";
    ASSERT_TRUE(waitFor([&] { return device->value("1.3.6.1.4.1.32473.10.37.24.2.8.1.1.2.0") == "1"; }, 5000))
        << "the scan command reaches the second radio";

    page->Timer1Timer();
    EXPECT_EQ(survey->topLevelItemCount(), 0) << "the first tick only counts";
    page->Timer1Timer();
    ASSERT_EQ(survey->topLevelItemCount(), 5);
    EXPECT_EQ(child<QTreeWidget>(page.get(), "SiteServeyListView")->topLevelItemCount(), 0);
    EXPECT_TRUE(survey->isColumnHidden(0));
    EXPECT_TRUE(scan->isEnabled());
    EXPECT_EQ(page->scanIdle, 1);

    const int bssid = columnNamed(survey, " BSSID"), ssid = columnNamed(survey, " SSID");
    ASSERT_GE(bssid, 0);
    ASSERT_GE(ssid, 0);
    EXPECT_EQ(survey->topLevelItem(0)->text(bssid), "005000200001") << "the second radio's first neighbour";
    survey->setCurrentItem(survey->topLevelItem(2));
    EXPECT_EQ(edit(page.get(), "Ed_RoMAddrg0")->text(), survey->topLevelItem(2)->text(bssid));
    EXPECT_EQ(edit(page.get(), "Ed_SSID_11g")->text(), survey->topLevelItem(2)->text(ssid));
    EXPECT_EQ(edit(page.get(), "Ed_RoMAddra0")->text(), "");
}

} // namespace
