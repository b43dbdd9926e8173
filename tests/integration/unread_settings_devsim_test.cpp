// A setting whose control holds no value is never written. The device reports a value the
// page has no item for (newer firmware, a corrupted setting), so the selector shows nothing,
// or the read of a setting is lost on the way, so its check box shows neither on nor off:
// Apply then says which setting it could not read and writes nothing at all, where it once
// wrote 0 (switching the DHCP server, the VLANs or the guest SSIDs off) or wrote the steps
// before it.
#include "support/PageTestKit.h"

#include "binding/UnreadSettingError.h"
#include "pages/advanced/PerformanceRadio.h"
#include "pages/advanced/TFM_DHCP.h"
#include "pages/advanced/TFM_MultiSSIDForm.h"
#include "pages/advanced/TFM_Performace.h"
#include "binding/QvStatusBar.h"
#include "ui_TFM_DHCP.h"

#include <QCheckBox>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace {

const QString kDhcpFunction = PrivateOid(".2.7.1.0");
const QString kApMode = PrivateOid(".2.1.1.1.1");
const QString kGuest1State = PrivateOid(".2.9.2.1.2.1.1");
const QString kGuest1Auth = PrivateOid(".2.9.2.1.4.1.1");
const QString kGuest1Key = PrivateOid(".2.9.2.1.7.1.1");
const QString kMasterSsid = PrivateOid(".2.9.1.1.1.1");
const QString kVlanState = PrivateOid(".2.9.3.1.1.0");
const QString kChannel = PrivateOid(".2.3.1.2.1");
const QString kChannelList = PrivateOid(".2.3.1.3.1");
const QString kRate = PrivateOid(".2.3.1.4.1");

struct Variable {
    QString oid;
    const char* type;
    QVariant value;
};

// Starts the device from a state that holds the given values.
class DeviceWithState : public ModuleAgainstDevice {
protected:
    QStringList deviceArguments() const override
    {
        QJsonObject variables;
        for (const Variable& v : state())
            variables[v.oid] = QJsonObject{{"type", v.type}, {"value", QJsonValue::fromVariant(v.value)}};
        QStringList arguments{"--state-in", WriteDeviceState(folder.filePath("state.json"), variables)};
        // Each read of the setting is lost, together with its one retry, both when it is
        // asked with the page's other opening reads and when it is then asked alone.
        for (int lost = 0; !lostOid().isEmpty() && lost < 4; ++lost)
            arguments << "--drop-once" << lostOid();
        return arguments;
    }
    virtual std::vector<Variable> state() const = 0;
    virtual QString lostOid() const { return {}; }

    // The message box of the refused Apply names the setting.
    void expectRefused(const QString& setting)
    {
        ASSERT_FALSE(recorder.messages.empty());
        const QString text = recorder.messages.back().text;
        EXPECT_TRUE(text.contains('"' + setting + '"')) << text.toStdString();
    }
};

struct UnreadCase {
    const char* name;
    std::vector<Variable> state;
    const char* page;  // "dhcp" or "multissid"
    std::function<void(QWidget& page)> act;
    QString setting;  // the setting named in the refusal
    QString keptOid;  // a setting the faulty Apply changed on the device
    QString keptValue;
    QString lost = {};  // a setting whose reads the device loses
};

void PrintTo(const UnreadCase& c, std::ostream* out) { *out << c.name; }

class UnreadSetting : public DeviceWithState, public ::testing::WithParamInterface<UnreadCase> {
protected:
    std::vector<Variable> state() const override { return GetParam().state; }
    QString lostOid() const override { return GetParam().lost; }
};

void clickApply(QWidget& page) { child<QPushButton>(&page, "Bt_Apply")->click(); }

// A box whose read was lost shows neither on nor off, and Apply refuses to write it.
std::function<void(QWidget&)> applyShowingUnread(const char* box)
{
    return [box](QWidget& page) {
        EXPECT_EQ(child<QCheckBox>(&page, box)->checkState(), Qt::PartiallyChecked) << box;
        clickApply(page);
    };
}

TEST_P(UnreadSetting, ApplyNamesItAndWritesNothing)
{
    const UnreadCase& c = GetParam();
    std::unique_ptr<QWidget> page;
    if (QString(c.page) == "dhcp") {
        auto dhcp = std::make_unique<TFM_DHCP>(main.get());
        dhcp->show();
        ASSERT_TRUE(waitFor([&] { return !dhcp->PageBusy(); }));
        EXPECT_EQ(dhcp->ui->CB_Fuction1->currentIndex(), -1);
        page = std::move(dhcp);
    } else {
        auto form = std::make_unique<TFM_MultiSSIDForm>(main.get());
        form->show();
        page = std::move(form);
    }
    recorder.messages.clear();
    WaitWatcher watcher;
    c.act(*page);
    expectRefused(c.setting);
    EXPECT_EQ(watcher.dialogsShown, 0);
    runFor(200);
    EXPECT_EQ(device->value(c.keptOid), c.keptValue);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, UnreadSetting,
    ::testing::Values(
        UnreadCase{"DhcpSwitchOnTheFirstTab", {{kDhcpFunction, "integer", 2}}, "dhcp", clickApply,
                   "Dynamic IP Function", kDhcpFunction, "2"},
        UnreadCase{"DhcpSwitchOnTheStaticTab",
                   {{kDhcpFunction, "integer", 2}},
                   "dhcp",
                   [](QWidget& page) { child<QPushButton>(&page, "StaticApply")->click(); },
                   "Dynamic IP Function",
                   kDhcpFunction,
                   "2"},
        // Without the radio's mode the page would take the radio for one that cannot carry
        // guests and switch every guest off.
        UnreadCase{"MultiSsidRadioMode",
                   {{kApMode, "integer", 9}, {kGuest1State, "integer", 1}},
                   "multissid",
                   clickApply,
                   "adAPMode",
                   kGuest1State,
                   "1"},
        // An authentication outside the guest's list would go out as 0, after the master's
        // settings had been written.
        UnreadCase{"MultiSsidGuestAuthentication",
                   {{kGuest1State, "integer", 1}, {kGuest1Auth, "integer", 9}, {kGuest1Key, "string", "0123456789"}},
                   "multissid",
                   [](QWidget& page) {
                       child<QLineEdit>(&page, "MasterSSIDEdit")->setText("renamed");
                       clickApply(page);
                   },
                   "adMSSIDAuth",
                   kMasterSsid,
                   "VTA3100QX"},
        // The VLAN switch is the only setting of its binding: lost, it was written as off.
        UnreadCase{"MultiSsidVlanStateLost",
                   {{kVlanState, "integer", 1}},
                   "multissid",
                   applyShowingUnread("VLan_State"),
                   "adVlanState",
                   kVlanState,
                   "1",
                   kVlanState},
        // Every guest's state is written; one whose read was lost was written as disabled.
        UnreadCase{"MultiSsidGuestStateLost",
                   {{kGuest1State, "integer", 1}},
                   "multissid",
                   applyShowingUnread("Guest1CheckBox"),
                   "adMSSIDState",
                   kGuest1State,
                   "1",
                   kGuest1State}),
    [](const ::testing::TestParamInfo<UnreadCase>& info) { return std::string(info.param.name); });

// A channel list the device gives empty: the channel the device has is kept, not written as
// channel 0 (which the device refuses, failing the whole Apply).
class PerformanceWithoutChannelList : public DeviceWithState {
protected:
    std::vector<Variable> state() const override { return {{kChannelList, "string", ""}}; }
};

TEST_F(PerformanceWithoutChannelList, ApplyKeepsTheDevicesChannel)
{
    const QString channel = device->value(kChannel), rate = device->value(kRate);
    TFM_Performace page(main.get());
    EXPECT_EQ(page.RadioA.CB_Chan->count(), 0);
    WaitWatcher watcher;
    child<QPushButton>(&page, "Bt_Apply_a")->click();
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
    EXPECT_EQ(watcher.dialogsShown, 1) << page.StatusBar()->SimpleText().toStdString();
    EXPECT_EQ(device->value(kChannel), channel);
    EXPECT_EQ(device->value(kRate), rate);
}

} // namespace
