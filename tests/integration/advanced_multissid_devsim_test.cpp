// The multi-SSID page against the simulator: the guest rules, the checks with their texts and
// what Apply writes.

#include "support/PageTestKit.h"

#include "binding/ControlEvents.h"
#include "binding/QvStatusBar.h"
#include "pages/advanced/TFM_MultiSSIDForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

QString guestOid(int column, int guest) { return PrivateOid(QString(".2.9.2.1.%1.1.%2").arg(column).arg(guest)); }
const QString kApMode = PrivateOid(".2.1.1.1.1");
const QString kSuperMode = PrivateOid(".2.3.1.11.1");
const QString kMasterAuth = PrivateOid(".2.5.1.1.1.1");
const QString kMasterEncryption = PrivateOid(".2.5.1.1.2.1");
const QString kMasterKeyIndex = PrivateOid(".2.5.1.1.3.1");
constexpr int kState = 2, kSsid = 3, kAuth = 4, kKeyIndex = 6, kKey = 7;

SnmpVarBind Int(const QString& oid, int value) { return Bind(oid, 2, {}, value); }
SnmpVarBind Text(const QString& oid, const std::string& text) { return Bind(oid, 4, text); }

} // namespace

class MultiSsidAgainstDevice : public ModuleAgainstDevice {
protected:
    std::unique_ptr<TFM_MultiSSIDForm> open()
    {
        auto page = std::make_unique<TFM_MultiSSIDForm>(main.get());
        page->show();
        return page;
    }
    template <typename W>
    W* guest(TFM_MultiSSIDForm& page, const char* name, int number)
    {
        return child<W>(&page, QString(name).arg(number).toLatin1().constData());
    }
    // Apply, and whether the wait dialog covered a restart.
    bool apply(TFM_MultiSSIDForm& page)
    {
        WaitWatcher watcher;
        child<QPushButton>(&page, "Bt_Apply")->click();
        return watcher.dialogsShown == 1;
    }
};

TEST_F(MultiSsidAgainstDevice, ARadioThatCannotCarryGuestsDisablesThemAndApplySendsThemOff)
{
    const struct {
        int apMode, superMode;
        QStringList openingMessages;
    } cases[] = {
        {3, 3, {"Please modify IEEE802.11g AP Mode to \"Access point\" !"}},  // WDS
        {1, 1, {}},                                                          // super mode on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.apMode);
        ASSERT_EQ(set({Int(kApMode, c.apMode), Int(kSuperMode, c.superMode), Int(guestOid(kState, 1), 1),
                       Int(guestOid(kState, 3), 1)})
                      .status,
                  0);
        recorder.messages.clear();
        auto page = open();
        EXPECT_EQ(recorder.texts(), c.openingMessages);
        EXPECT_TRUE(guest<QCheckBox>(*page, "Guest%1CheckBox", 1)->isChecked());
        for (int g = 1; g <= 3; ++g) {
            EXPECT_FALSE(guest<QCheckBox>(*page, "Guest%1CheckBox", g)->isEnabled());
            EXPECT_FALSE(guest<QLineEdit>(*page, "GuestSSIDEdit%1", g)->isEnabled());
            EXPECT_FALSE(guest<QLineEdit>(*page, "GuestGroupID%1", g)->isEnabled());
        }
        EXPECT_FALSE(child<QCheckBox>(page.get(), "VLan_State")->isEnabled());

        recorder.messages.clear();
        child<QPushButton>(page.get(), "Bt_Refresh")->click();
        EXPECT_EQ(recorder.texts(),
                  QStringList({"Please modify IEEE802.11g AP Mode to \"Access point\" and Super Mode to \"Disabled\"!"}));

        recorder.messages.clear();
        EXPECT_TRUE(apply(*page));
        EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
        EXPECT_EQ(device->value(guestOid(kState, 1)), "0");
        EXPECT_EQ(device->value(guestOid(kState, 3)), "0");
        EXPECT_EQ(page->StatusBar()->Panel(0)->Text(), "Set Success!");
    }
}

TEST_F(MultiSsidAgainstDevice, AWpaMasterForcesGuestSecurityToNone)
{
    ASSERT_EQ(set({Int(kMasterAuth, 6), Int(guestOid(kState, 2), 1), Int(guestOid(kAuth, 2), 3)}).status, 0);
    auto page = open();
    EXPECT_EQ(child<QComboBox>(page.get(), "SecurityBox")->currentText(), "WPA-PSK");
    auto* security = guest<QComboBox>(*page, "GuestSecurity%1", 2);
    EXPECT_EQ(security->currentText(), "None");
    EXPECT_FALSE(security->isEnabled());
    EXPECT_FALSE(guest<QLineEdit>(*page, "GuestKeyvalueEdit%1", 2)->isEnabled());
    EXPECT_TRUE(guest<QLineEdit>(*page, "GuestSSIDEdit%1", 2)->isEnabled());
    EXPECT_TRUE(apply(*page)) << recorder.texts().join("|").toStdString();
    EXPECT_EQ(device->value(guestOid(kAuth, 2)), "1");
    EXPECT_EQ(device->value(guestOid(kState, 2)), "1");
}

TEST_F(MultiSsidAgainstDevice, CollidingKeyIndexesAndSsidsAreRefusedWithTheirTexts)
{
    // Master: WEP with key index "Second"; guests 1 and 2 on with shared keys.
    ASSERT_EQ(set({Int(kMasterEncryption, 1), Int(kMasterKeyIndex, 2), Int(guestOid(kState, 1), 1),
                   Int(guestOid(kAuth, 1), 3), Int(guestOid(kKeyIndex, 1), 3), Text(guestOid(kKey, 1), "0123456789"),
                   Int(guestOid(kState, 2), 1), Int(guestOid(kAuth, 2), 3), Int(guestOid(kKeyIndex, 2), 4),
                   Text(guestOid(kKey, 2), "0123456789"), Int(guestOid(kState, 3), 1)})
                  .status,
              0);
    auto page = open();
    ASSERT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
    auto keyIndex = [&](int g) { return guest<QComboBox>(*page, "GuestKey%1", g); };
    auto ssid = [&](int g) { return guest<QLineEdit>(*page, "GuestSSIDEdit%1", g); };
    auto key = [&](int g) { return guest<QLineEdit>(*page, "GuestKeyvalueEdit%1", g); };
    // The stored keys show masked, one "*" per digit; they pass as they are.
    EXPECT_EQ(key(1)->text(), "**********");

    const struct {
        const char* what;
        std::function<void()> change;
        QString message;
    } cases[] = {
        {"guest 2 uses the master's index", [&] { keyIndex(2)->setCurrentIndex(1); },
         "The 11g Guest SSID2's key index is same as master SSID"},
        {"guests 1 and 2 share an index", [&] { keyIndex(1)->setCurrentIndex(3); },
         "The 11g Guest SSID1's key index is same as Guest SSID2"},
        {"guest 1 is named as the master", [&] { ssid(1)->setText("VTA3100QX"); },
         "The 11g Guest SSID1's SSID is same as master SSID"},
        {"guest 3 is named as guest 1", [&] { ssid(3)->setText("Guest1"); },
         "The 11g Guest SSID1's SSID is same as SSID3's SSID"},
        {"guest 2's key is one digit short", [&] { key(2)->setText("012345678"); },
         "The Length of Guest SSID2's key in IEEE802.11g must be 10!"},
        {"an empty SSID", [&] { ssid(2)->clear(); }, "Please Input SSID in Guest SSID2."},
        {"a leading blank", [&] { ssid(2)->setText(" x"); }, "The first character can't be blank in Guest SSID2."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        page = open();
        c.change();
        recorder.messages.clear();
        EXPECT_FALSE(apply(*page));
        EXPECT_EQ(recorder.texts(), QStringList({c.message}));
    }
    EXPECT_EQ(device->value(guestOid(kKeyIndex, 2)), "4") << "nothing was sent";

    // The index check also runs when an index is chosen, and leaving guest 3's VLAN group ID
    // runs guest 3's SSID check.
    page = open();
    recorder.messages.clear();
    keyIndex(2)->setCurrentIndex(1);
    emit keyIndex(2)->activated(1);
    ssid(3)->setText("Guest1");
    QLineEdit* groupId = guest<QLineEdit>(*page, "GuestGroupID%1", 3);
    EditEvents::Of(groupId).OnExit(groupId);
    EXPECT_EQ(recorder.texts(), QStringList({"The 11g Guest SSID2's key index is same as master SSID",
                                             "The 11g Guest SSID3's SSID is same as SSID1's SSID"}));

    // Without master WEP the master's index and name are free for guests.
    ASSERT_EQ(set({Int(kMasterEncryption, 0)}).status, 0);
    page = open();
    keyIndex(2)->setCurrentIndex(1);
    ssid(1)->setText("VTA3100QX");
    recorder.messages.clear();
    EXPECT_TRUE(apply(*page)) << recorder.texts().join("|").toStdString();
    EXPECT_EQ(device->value(guestOid(kKeyIndex, 2)), "2");
    EXPECT_EQ(device->value(guestOid(kSsid, 1)), "VTA3100QX");
    EXPECT_EQ(device->value(guestOid(kKey, 1)), "0123456789") << "the masked key keeps the stored one";
}

TEST_F(MultiSsidAgainstDevice, GuestKeysTravelAsHexadecimalDigits)
{
    ASSERT_EQ(set({Int(guestOid(kState, 1), 1), Int(guestOid(kAuth, 1), 2),
                   Text(guestOid(kKey, 1), "00112233445566778899AABBCC")}).status,
              0);
    auto page = open();
    auto* key = guest<QLineEdit>(*page, "GuestKeyvalueEdit%1", 1);
    auto* type = guest<QComboBox>(*page, "GuestKeyType%1", 1);
    auto* size = guest<QComboBox>(*page, "GuestKeySize%1", 1);
    EXPECT_EQ(key->text(), QString(26, '*'));
    EXPECT_EQ(size->currentText(), "128 Bits") << "the size follows the stored key's length";

    // The masked key in ASCII: nothing to convert, Apply ends without a word.
    type->setCurrentIndex(1);
    key->setText(QString(13, '*'));
    recorder.messages.clear();
    EXPECT_FALSE(apply(*page));
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();

    // A typed ASCII key goes out as its character codes.
    key->setText("Ab1~xyz!#%&()");
    EXPECT_TRUE(apply(*page)) << recorder.texts().join("|").toStdString();
    EXPECT_EQ(device->value(guestOid(kKey, 1)).toLower(), "4162317e78797a212325262829");
    EXPECT_EQ(type->currentText(), "HEX") << "back to HEX after Apply";

    // A HEX key with a non-hexadecimal digit is refused and cleared.
    key->setText("012345678g");
    size->setCurrentIndex(0);
    recorder.messages.clear();
    EXPECT_FALSE(apply(*page));
    EXPECT_EQ(recorder.texts(), QStringList({"Please input  Hexadecimal digits!"}));
    EXPECT_TRUE(key->text().isEmpty());
}

// With VLAN on, every group ID must be given, with the device's own texts; the IDs are written
// only while VLAN is on.
TEST_F(MultiSsidAgainstDevice, VlanGroupIdsAreCheckedAndWrittenOnlyWhileVlanIsOn)
{
    const QString masterTag = PrivateOid(".2.9.1.1.3.1");
    const QString vlanState = PrivateOid(".2.9.3.1.1.0");
    auto page = open();
    auto* vlan = child<QCheckBox>(page.get(), "VLan_State");
    ASSERT_FALSE(vlan->isChecked());
    vlan->click();
    auto* master = child<QLineEdit>(page.get(), "GroupIDBox");
    ASSERT_TRUE(master->isEnabled());
    master->clear();
    recorder.messages.clear();
    EXPECT_FALSE(apply(*page));
    EXPECT_EQ(recorder.texts(), QStringList({"The 11g master SSID's ID is invalid.The range of ID is 1 to 4094."}));

    master->setText("7");
    guest<QLineEdit>(*page, "GuestGroupID%1", 1)->clear();
    recorder.messages.clear();
    EXPECT_FALSE(apply(*page));
    EXPECT_EQ(recorder.texts(), QStringList({"The 11g guest SSID1's ID is invalid.The range of ID is 1 to 4094."}));

    for (int g = 1; g <= 3; ++g)
        guest<QLineEdit>(*page, "GuestGroupID%1", g)->setText(QString::number(10 + g));
    recorder.messages.clear();
    EXPECT_TRUE(apply(*page)) << recorder.texts().join("|").toStdString();
    EXPECT_EQ(device->value(vlanState), "1");
    EXPECT_EQ(device->value(masterTag), "7");
    for (int g = 1; g <= 3; ++g)
        EXPECT_EQ(device->value(guestOid(9, g)), QString::number(10 + g)) << g;

    // VLAN off: the IDs are left as the device holds them.
    vlan->click();
    master->setText("99");
    EXPECT_TRUE(apply(*page)) << recorder.texts().join("|").toStdString();
    EXPECT_EQ(device->value(vlanState), "0");
    EXPECT_EQ(device->value(masterTag), "7");
}
