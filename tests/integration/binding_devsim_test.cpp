#include "support/SnmpLibrary.h"
#include "support/DevsimAgent.h"
#include "support/DialogRecorder.h"
#include "support/PageTestKit.h"
#include "binding/New_req2Edit.h"
#include "snmp/QvSNMPStartup.h"
#include "binding/QvStatusBar.h"
#include "snmp/SnmpSession.h"
#include "snmp/SnmpSettings.h"

#include "snmp/QvException.h"
#include "binding/QvPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <functional>

// Bindings against the simulated access point: what the pages do with it, from the
// controls' side.
namespace {

#define PRIVATE "1.3.6.1.4.1.32473.10.37.24"
#define CLIENT_ENTRY PRIVATE ".4.5.2.1"

const OptionRow kIpFromRows[] = {{1, "Static (Manual)"}, {2, "Dynamic (DHCP)"}, {0, nullptr}};
const OptionRow kBandRows[] = {{1, "11a"}, {2, "11g"}, {0, nullptr}};
const QvOptionList kIpFrom(kIpFromRows);
const QvOptionList kBand(kBandRows);

enum LanItem { kGetIpFrom, kIpAddress, kSubnetMask, kGateway };
const VariableDescriptor kLan[] = {
    {PRIVATE ".1.2.1", "hGetIPFrom", kSyntaxInteger, kAccessReadWrite, &kIpFrom},
    {PRIVATE ".1.2.2", "hIPAddress", kSyntaxIpAddress, kAccessReadWrite},
    {PRIVATE ".1.2.3", "hSubnetMask", kSyntaxIpAddress, kAccessReadWrite},
    {PRIVATE ".1.2.4", "hDefaultGateway", kSyntaxIpAddress, kAccessReadWrite},
    {nullptr, nullptr, 0, 0},
};

const VariableDescriptor kClients[] = {
    {CLIENT_ENTRY ".1", "BandIndex", kSyntaxInteger, kAccessNotAccessible},
    {CLIENT_ENTRY ".1", "InfoIndex", kSyntaxInteger, kAccessNotAccessible},
    {CLIENT_ENTRY ".2", "MAC", kSyntaxMacAddress, kAccessReadOnly},
    {CLIENT_ENTRY ".3", "Band", kSyntaxInteger, kAccessReadOnly, &kBand},
    {nullptr, nullptr, 0, 0},
};

// The MAC filter of radio 1: sixteen rows, a free one holds twelve zeros.
const char* kFree = "000000000000";
const VariableDescriptor kMacFilter[] = {
    {PRIVATE ".2.4.2.1.2.1", "No.", kSyntaxInteger, kAccessNotAccessible},
    {PRIVATE ".2.4.2.1.2.1", "MAC Address", kSyntaxMacAddress, kAccessReadWrite},
    {nullptr, nullptr, 0, 0},
};

// The LAN fields of a page: a combo box and three address edits.
struct LanForm {
    explicit LanForm(QWidget* form, QvSNMPRequest2Edits& binding) : ipFrom(new QComboBox(form))
    {
        for (QLineEdit*& edit : edits)
            edit = new QLineEdit(form);
        binding.request.list.Assign(QvSNMPVarList(kLan, kListScalars, 0));
        binding.BindComboBox(kGetIpFrom, ipFrom);
        binding.BindEdit(kIpAddress, edits[0], "%s");
        binding.BindEdit(kSubnetMask, edits[1], "%s");
        binding.BindEdit(kGateway, edits[2], "%s");
    }
    QComboBox* ipFrom;  // owned by the form, as its edits are
    QLineEdit* edits[3] = {};
};

class BindingOnDevice : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        StartSnmpLibraryOnce();
    }

    void SetUp() override
    {
        ASSERT_TRUE(device.start()) << device.error();
        aim(device.port());
    }

    static void aim(uint16_t port)
    {
        SetDefaultSnmpSettings();
        QvSNMPDevice.address = "127.0.0.1";
        QvSNMPDevice.port = port;
        QvSNMPSecurity.version = 1;
    }

    DevsimAgent device;
    QWidget form;
    DialogRecorder recorder;
};

TEST_F(BindingOnDevice, GetsFillEditsCombosAndAListViewInBothModes)
{
    for (uint8_t mode : {QvSNMPRequest2Controls::kWaiting, QvSNMPRequest2Controls::kNotifying}) {
        SCOPED_TRACE(mode == QvSNMPRequest2Controls::kWaiting ? "waiting" : "notifying");
        QvSNMPRequest2Edits lan(&form);
        LanForm fields(&form, lan);
        lan.RequestMode = mode;

        QvSNMPRequest2Edits clients(&form);
        clients.request.list.Assign(QvSNMPVarList(kClients, kListTableUnlisted, 2));
        clients.RequestMode = mode;
        QTreeWidget view(&form);
        QLineEdit mac(&form);
        QComboBox band(&form);
        clients.BindEdit(2, &mac, "%h");
        clients.BindComboBox(3, &band);
        clients.BindListView(&view);

        int done = 0;
        int afterGets = 0;
        for (auto* binding : {&lan, &clients}) {
            binding->OnGetDone = [&](QvSNMPRequest2Controls&, const QvSNMPError& record) {
                EXPECT_EQ(record.code, 0) << record.message;
                ++done;
            };
            binding->OnAfterGet = [&] { ++afterGets; };
            EXPECT_TRUE(binding->Get());
        }
        if (mode == QvSNMPRequest2Controls::kNotifying) {
            EXPECT_TRUE(waitFor([&] { return done == 2; }));
        }
        EXPECT_FALSE(lan.Busy);
        EXPECT_FALSE(clients.Busy);
        EXPECT_EQ(afterGets, 2);

        EXPECT_EQ(fields.ipFrom->currentText(), "Static (Manual)");
        EXPECT_EQ(fields.edits[0]->text(), "192.168.0.50");
        EXPECT_EQ(fields.edits[1]->text(), "255.255.255.0");
        EXPECT_EQ(fields.edits[2]->text(), "192.168.0.1");

        // Three stations on radio 1: both keys, then MAC and band as the device reports them.
        ASSERT_EQ(view.topLevelItemCount(), 3);
        EXPECT_EQ(column(&view, 0), QStringList({"1", "1", "1"}));
        EXPECT_EQ(column(&view, 1), QStringList({"1", "2", "3"}));
        EXPECT_EQ(column(&view, 3), QStringList({"11g", "11g", "11g"}));
        for (const QString& address : column(&view, 2))
            EXPECT_TRUE(QRegularExpression("^[0-9A-F]{12}$").match(address).hasMatch()) << address.toStdString();

        view.setCurrentItem(view.topLevelItem(1));
        EXPECT_EQ(mac.text(), view.topLevelItem(1)->text(2));
        EXPECT_EQ(band.currentText(), "11g");
        EXPECT_TRUE(recorder.messages.empty());
    }
}

TEST_F(BindingOnDevice, SetsWriteWhatTheControlsHold)
{
    QvSNMPRequest2Edits lan(&form);
    LanForm fields(&form, lan);
    lan.RequestMode = QvSNMPRequest2Controls::kWaiting;
    ASSERT_TRUE(lan.Get());
    fields.edits[2]->setText("192.168.000.254");
    fields.ipFrom->setCurrentIndex(1);
    EXPECT_TRUE(lan.Set());
    EXPECT_EQ(device.value(PRIVATE ".1.2.4.0"), "192.168.0.254");
    EXPECT_EQ(device.value(PRIVATE ".1.2.1.0"), "2");
    EXPECT_EQ(device.value(PRIVATE ".1.2.2.0"), "192.168.0.50");

    // A notifying set of a table writes the selected row and reads the table again.
    QvSNMPRequest2Edits filter(&form);
    filter.request.list.Assign(QvSNMPVarList(kMacFilter, kListTable, 1));
    QTreeWidget view(&form);
    QLabel index(&form);
    QLineEdit mac(&form);
    filter.BindControl(0, &index);
    filter.BindEdit(1, &mac, "%h");
    filter.BindListView(&view);
    int gets = 0;
    bool setDone = false;
    filter.OnGetDone = [&](QvSNMPRequest2Controls&, const QvSNMPError& record) {
        EXPECT_EQ(record.code, 0) << record.message;
        ++gets;
    };
    filter.OnSetDone = [&](QvSNMPRequest2Controls&, const QvSNMPError& record) {
        EXPECT_EQ(record.code, 0) << record.message;
        setDone = true;
    };
    filter.Get();
    EXPECT_TRUE(waitFor([&] { return gets == 1; }));
    ASSERT_EQ(view.topLevelItemCount(), 16);
    EXPECT_FALSE(mac.isEnabled()) << "disabled until a row is selected";
    view.setCurrentItem(view.topLevelItem(2));
    EXPECT_TRUE(mac.isEnabled());
    EXPECT_EQ(index.text(), "3");
    mac.setText("00e0a6310524");
    EXPECT_TRUE(filter.Set(true, true));
    EXPECT_TRUE(waitFor([&] { return setDone && gets == 2 && !filter.Busy; }));
    EXPECT_EQ(device.value(PRIVATE ".2.4.2.1.2.1.3"), "00E0A6310524");
    ASSERT_EQ(view.topLevelItemCount(), 16);
    EXPECT_EQ(view.topLevelItem(2)->text(1), "00E0A6310524");

    // The numbered list shows only the used rows.
    New_req2Edit used(&form);
    used.request.list.Assign(QvSNMPVarList(kMacFilter, kListTable, 1));
    used.RequestMode = QvSNMPRequest2Controls::kWaiting;
    used.EmptyRowValue = kFree;
    QTreeWidget usedView(&form);
    used.BindListView(&usedView, false);
    EXPECT_TRUE(used.Get());
    EXPECT_EQ(column(&usedView, 0), QStringList({"1"}));
    EXPECT_EQ(column(&usedView, 1), QStringList({"00E0A6310524"}));
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
}

TEST_F(BindingOnDevice, AValueTheControlsCannotShowStopsTheGet)
{
    // A check box without option list can only show a boolean item.
    QvStatusBar bar(&form);
    for (uint8_t mode : {QvSNMPRequest2Controls::kWaiting, QvSNMPRequest2Controls::kNotifying}) {
        SCOPED_TRACE(mode == QvSNMPRequest2Controls::kWaiting ? "waiting" : "notifying");
        QvSNMPRequest2Edits lan(&form);
        lan.request.list.Assign(QvSNMPVarList(kLan, kListScalars, 0));
        lan.RequestMode = mode;
        lan.SetStatusSink(&bar);
        QCheckBox box(&form);
        lan.BindCheckBox(kSubnetMask, &box);
        int done = 0;
        int afterGets = 0;
        lan.OnGetDone = [&](QvSNMPRequest2Controls&, const QvSNMPError&) { ++done; };
        lan.OnAfterGet = [&] { ++afterGets; };
        bar.SetSimpleText("");
        if (mode == QvSNMPRequest2Controls::kWaiting) {
            try {
                lan.Get();
                ADD_FAILURE() << "no exception";
            } catch (const QvException& error) {
                EXPECT_EQ(error.code(), -517);
            }
        } else {
            EXPECT_TRUE(lan.Get());
            EXPECT_TRUE(waitFor([&] { return !lan.Busy; }));
            EXPECT_TRUE(bar.SimpleText().startsWith(
                "Get: (QvSNMP++) Bad syntax of the associated SNMP variable's (partial) data!. Receive at "))
                << bar.SimpleText().toStdString();
        }
        EXPECT_FALSE(lan.Busy);
        EXPECT_EQ(done, 0);
        EXPECT_EQ(afterGets, 0);
    }
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(BindingOnDevice, APageClosedDuringAWaitingWalkEndsItAtOnceWithoutTakingTheBindingAway)
{
    // A waiting table walk lets the event loop run while it waits: a close that arrives then
    // ends the walk as a time-out would, closes the page, and leaves the binding (below on the
    // stack) in place; nothing of the page is read or written afterwards.
    QvPage page;
    auto& used = page.NewBinding<New_req2Edit>();
    used.request.list.Assign(QvSNMPVarList(kMacFilter, kListTable, 1));
    used.RequestMode = QvSNMPRequest2Controls::kWaiting;
    QTreeWidget view(&page);
    used.BindListView(&view, false);
    page.show();
    QTimer::singleShot(0, &page, [&] { page.reject(); });
    EXPECT_FALSE(used.Get());
    EXPECT_FALSE(page.isVisible());
    EXPECT_EQ(page.result(), QDialog::Rejected);
    EXPECT_FALSE(used.Busy);
    const uint64_t sent = SnmpSession::global().exchangesSent();
    EXPECT_FALSE(used.Get());
    EXPECT_EQ(SnmpSession::global().exchangesSent(), sent);
}

TEST_F(BindingOnDevice, ADeviceThatDoesNotAnswerEndsInStatusLinesAndNull)
{
    DevsimAgent deaf({"--drop-percent", "100"});
    ASSERT_TRUE(deaf.start()) << deaf.error();
    aim(deaf.port());

    QvStatusBar bar(&form);
    QvSNMPRequest2Edits lan(&form);
    LanForm fields(&form, lan);
    lan.request.timeout = 20;
    lan.request.retries = 0;
    lan.request.list.description = "LAN settings";
    lan.SetStatusSink(&bar);
    for (QLineEdit* edit : fields.edits)
        edit->setText("1.2.3.4");

    lan.RequestMode = QvSNMPRequest2Controls::kNotifying;
    QvSNMPError record;
    bool done = false;
    int afterGets = 0;
    lan.OnAfterGet = [&] { ++afterGets; };
    lan.OnGetDone = [&](QvSNMPRequest2Controls& binding, const QvSNMPError& r) {
        record = r;
        done = true;
        binding.ShowStatus(r.message);
    };
    EXPECT_TRUE(lan.Get());
    EXPECT_TRUE(waitFor([&] { return done; }));
    EXPECT_EQ(record.code, -405);
    EXPECT_EQ(afterGets, 0);
    EXPECT_EQ(fields.edits[0]->text(), "1.2.3.4") << "a notifying failure leaves the controls";
    const QRegularExpression line(
        R"(^Get: \(SNMPClass\) SNMP request timed out! Request:LAN settings\. Receive at \d\d:\d\d:\d\d (AM|PM)\.$)");
    EXPECT_TRUE(line.match(bar.SimpleText()).hasMatch()) << bar.SimpleText().toStdString();

    bar.SetSimpleText("");
    lan.RequestMode = QvSNMPRequest2Controls::kWaiting;
    EXPECT_FALSE(lan.Get());
    EXPECT_EQ(afterGets, 1);
    for (QLineEdit* edit : fields.edits)
        EXPECT_EQ(edit->text(), "(NULL)");
    EXPECT_EQ(fields.ipFrom->currentIndex(), -1);
    EXPECT_TRUE(line.match(bar.SimpleText()).hasMatch()) << bar.SimpleText().toStdString();
    EXPECT_TRUE(recorder.messages.empty());
}

} // namespace

TEST_F(BindingOnDevice, NotifyingSetsLeaveInTheOrderTheyWereIssued)
{
    // A row cleared and at once written again: the write waits for the clear, goes out with
    // the values it was issued with, and each set ends in its own completion, in order.
    QvSNMPRequest2Edits filter(&form);
    filter.request.list.Assign(QvSNMPVarList(kMacFilter, kListTable, 1));
    QTreeWidget view(&form);
    QLabel index(&form);
    QLineEdit mac(&form);
    filter.BindControl(0, &index);
    filter.BindEdit(1, &mac, "%h");
    filter.BindListView(&view);
    int gets = 0;
    filter.OnGetDone = [&](QvSNMPRequest2Controls&, const QvSNMPError&) { ++gets; };
    QStringList ends;
    filter.OnSetDone = [&](QvSNMPRequest2Controls& binding, const QvSNMPError& record) {
        ends << QString::fromStdString(record.code == 0 ? "ok" : record.message);
        // The clear's completion sees the write still to come.
        if (ends.size() == 1) {
            EXPECT_TRUE(binding.SetPending());
        }
    };
    filter.Get();
    EXPECT_TRUE(waitFor([&] { return gets == 1; }));
    ASSERT_EQ(view.topLevelItemCount(), 16);
    view.setCurrentItem(view.topLevelItem(4));

    mac.setText(kFree);
    filter.Set(false);
    mac.setText("00E0A6310524");
    filter.Set(false);
    EXPECT_EQ(filter.request.outstanding, 1) << "the write leaves only after the clear";
    EXPECT_TRUE(filter.SetPending());
    mac.setText("0000000000AA");  // typed after the write was issued: not sent
    EXPECT_TRUE(waitFor([&] { return ends.size() == 2 && !filter.Busy; }));
    EXPECT_EQ(ends, QStringList({"ok", "ok"}));
    EXPECT_FALSE(filter.SetPending());
    EXPECT_EQ(device.value(PRIVATE ".2.4.2.1.2.1.5"), "00E0A6310524");
    EXPECT_EQ(mac.text(), "0000000000AA") << "the controls keep what the page put there";

    // Sets of two rows: only the last one reads the table again, after both have ended.
    filter.Set(true);  // 0000000000AA into row 5
    view.setCurrentItem(view.topLevelItem(6));
    mac.setText("001122334455");
    filter.Set(true);  // row 7, then the table again
    EXPECT_TRUE(waitFor([&] { return ends.size() == 4 && gets == 2 && !filter.Busy; }));
    EXPECT_EQ(ends.size(), 4);
    EXPECT_EQ(gets, 2);
    EXPECT_EQ(device.value(PRIVATE ".2.4.2.1.2.1.5"), "0000000000AA");
    EXPECT_EQ(device.value(PRIVATE ".2.4.2.1.2.1.7"), "001122334455");
    EXPECT_EQ(view.topLevelItem(6)->text(1), "001122334455");
}
