#include "support/OwnNetwork.h"
#include "support/PageTestKit.h"

#include "binding/New_req2Edit.h"
#include "binding/QvStatusBar.h"
#include "snmp/ErrorCatalogue.h"
#include "pages/advanced/TFM_DHCP.h"
#include "pages/advanced/TFM_MACAddr.h"
#include "pages/advanced/TFM_StaticIP.h"
#include "ui_TFM_DHCP.h"
#include "ui_TFM_StaticIP.h"

#include <QComboBox>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

// The DHCP server page against the simulated device: the pool checks in their order, the
// function switch on both tabs, and the static leases written row by row.
namespace {

constexpr uint8_t kInteger = 2;
constexpr uint8_t kIpAddress = 0x40;
constexpr uint8_t kOctets = 4;
constexpr int kLeaseRows = 16;

QString Lease(int column, int row) { return PrivateOid(".2.7.3.1.%1.%2").arg(column).arg(row); }
std::string Packed(int a, int b, int c, int d) { return std::string{char(a), char(b), char(c), char(d)}; }

class DhcpPage : public ModuleAgainstDevice {
protected:
    std::unique_ptr<TFM_DHCP> open()
    {
        auto page = std::make_unique<TFM_DHCP>(main.get());
        page->show();
        // "Add" stays off while the list of used rows is being read.
        EXPECT_TRUE(waitFor([&] { return !page->PageBusy() && !page->LeaseList->Busy; }, 10000));
        return page;
    }
    // The IP and MAC of every lease row as the device holds them.
    QStringList deviceLeases()
    {
        QStringList rows;
        for (int row = 1; row <= kLeaseRows; ++row)
            rows << device->value(Lease(2, row)) + " " + device->value(Lease(3, row));
        return rows;
    }
    static QStringList freeLeases()
    {
        return QStringList(kLeaseRows, "0.0.0.0 000000000000");
    }
};

TEST_F(DhcpPage, ADisabledServerOpensWithThePoolDisabledAndEitherSelectorEnablesIt)
{
    ASSERT_EQ(set({Bind(PrivateOid(".2.7.1.0"), kInteger, {}, 0)}).status, 0);
    auto page = open();
    Ui::TFM_DHCP& ui = *page->ui;
    EXPECT_FALSE(ui.Ed_IPAF->isEnabled());
    EXPECT_FALSE(ui.CB_Status->isEnabled());
    EXPECT_EQ(ui.CB_Fuction2->currentIndex(), 0);
    EXPECT_FALSE(ui.Bt_Add->isEnabled());
    ui.CB_Fuction2->setCurrentIndex(1);
    emit ui.CB_Fuction2->activated(1);
    EXPECT_EQ(ui.CB_Fuction1->currentIndex(), 1);
    EXPECT_TRUE(ui.Ed_IPAF->isEnabled());
    EXPECT_TRUE(ui.Bt_Add->isEnabled());
    // The lists were refreshed: nothing is said of it once it is done.
    for (QvStatusBar* bar : {ui.StatusBar3, ui.StatusBar4})
        EXPECT_EQ(bar->Panel(0)->Text(), "") << bar->objectName().toStdString();
}

TEST_F(DhcpPage, ApplyChecksRunInTheirOrderWithTheirTitles)
{
    ASSERT_EQ(set({Bind(Lease(2, 4), kIpAddress, Packed(192, 168, 0, 105)),
                   Bind(Lease(3, 4), kOctets, std::string("\x00\x11\x22\x33\x44\x55", 6))})
                  .status,
              0);
    auto page = open();
    Ui::TFM_DHCP& ui = *page->ui;
    ASSERT_EQ(ui.User_ListView->topLevelItemCount(), 1);
    // The mappings were rebuilt on opening: one dynamic lease per station.
    ASSERT_TRUE(waitFor([&] { return !page->DynamicMappings->Busy; }, 5000));
    EXPECT_EQ(ui.LV_DynPool->topLevelItemCount(), 3);

    struct Case {
        const char* edit;
        const char* text;
        const char* message;
        const char* title;
        const char* edit2 = nullptr;
        const char* text2 = nullptr;
    };
    const Case cases[] = {
        {"Ed_IPAF", "", "Please input valid IP address", "Warning"},
        {"Ed_PoolRan", "", "Please input a number between 1 and 255.", "Warning"},
        {"Ed_IPAF", "192.168.0.48", "Reject: The DHCP dynamic IP pool will cover system IP.", "Warning"},
        {"Ed_PoolRan", "20", "Reject: The DHCP dynamic IP pool will cover Static IP.", "Warning"},
        {"Ed_PoolRan", "0", "Please input a number between 1 and 255.", "Error"},
        {"Ed_PoolRan", "256", "Please input a number between 1 and 255.", "Error", "Ed_IPAF", "192.168.1.0"},
        {"Ed_Lease", "", "Please input a number between 60 and 31536000.", "Warning"},
        {"Ed_DomNa", "a\"b", "Quotation Mark (\") is not accepted", "Warning"},
        {"Ed_Lease", "59", "Please input a number between 60 and 31536000.", "Error"},
        {"Ed_Lease", "31536001", "Please input a number between 60 and 31536000.", "Error"},
        {"Ed_IPAF", "10.0.0.255", "Please input valid IP address", "Waring"},
        {"Ed_Gateway", "224.0.0.1", "Please input valid Gateway.", "Waring"},
        {"Ed_Wins", "224.0.0.1", "Please input valid Wins.", "Waring"},
        {"Ed_DNS", "224.0.0.1", "Please input valid DNS.", "Waring"},
        {"Ed_SubMask", "255.0.255.0", "Please input valid SubMask.", "Waring"},
    };
    auto good = [&] {
        ui.Ed_IPAF->setText("192.168.0.100");
        ui.Ed_PoolRan->setText("5");
        ui.Ed_SubMask->setText("255.255.255.0");
        ui.Ed_Gateway->setText("192.168.0.1");
        ui.Ed_Wins->setText("");
        ui.Ed_DNS->setText("");
        ui.Ed_DomNa->setText("lan");
        ui.Ed_Lease->setText("60");
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.edit) + "=" + c.text);
        good();
        page->findChild<QLineEdit*>(c.edit)->setText(c.text);
        if (c.edit2)
            page->findChild<QLineEdit*>(c.edit2)->setText(c.text2);
        recorder.messages.clear();
        ui.Bt_Apply->click();
        ASSERT_EQ(recorder.messages.size(), 1u) << recorder.texts().join("|").toStdString();
        EXPECT_EQ(recorder.messages[0].text, c.message);
        EXPECT_EQ(recorder.messages[0].caption, c.title);
    }
    EXPECT_EQ(device->value(PrivateOid(".2.7.2.8.0")), "86400") << "nothing was sent";

    // Everything right: empty addresses go as 0.0.0.0, a lease of 60 passes, the device restarts.
    WaitWatcher waits;
    good();
    recorder.messages.clear();
    ui.Bt_Apply->click();
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
    EXPECT_EQ(ui.Ed_Wins->text(), "0.0.0.0");
    EXPECT_EQ(waits.firstCountdowns, QStringList({"40"}));
    EXPECT_TRUE(deviceShows(PrivateOid(".2.7.2.8.0"), "60"));
    EXPECT_EQ(device->value(PrivateOid(".2.7.2.6.0")), "0.0.0.0");
    EXPECT_EQ(device->value(PrivateOid(".2.7.2.2.0")), "5");
}

// A device that refuses the server switch (as with a write community it does not know): each
// Apply says it failed on both tabs that have one, and shows no wait dialog.
class DhcpPageRefused : public DhcpPage {
protected:
    QStringList deviceArguments() const override { return {"--refuse-set", PrivateOid(".2.7.1.0") + "=6"}; }
};

TEST_F(DhcpPageRefused, BothApplyTabsShowTheFailure)
{
    auto page = open();
    Ui::TFM_DHCP& ui = *page->ui;
    const QString refused = QString::fromStdString(MapStatus(6).text);
    for (QPushButton* apply : {ui.Bt_Apply, ui.StaticApply}) {
        SCOPED_TRACE(apply->objectName().toStdString());
        ui.StatusBar1->Panel(0)->SetText("(QvSNMP++) Ok!");
        ui.StatusBar2->Panel(0)->SetText("(QvSNMP++) Ok!");
        ui.CB_Fuction1->setCurrentIndex(0);
        ui.CB_Fuction2->setCurrentIndex(0);
        WaitWatcher waits;
        apply->click();
        EXPECT_EQ(waits.dialogsShown, 0);
        for (QvStatusBar* bar : {ui.StatusBar1, ui.StatusBar2})
            EXPECT_TRUE(bar->Panel(0)->Text().contains(refused)) << bar->Panel(0)->Text().toStdString();
    }
    EXPECT_EQ(device->value(PrivateOid(".2.7.1.0")), "1");
}

// The page opens by telling the device to rebuild its lists of current assignments. When the
// device refuses that command or leaves it unanswered (a write community it does not take),
// the lists show what the device gathered before: their status bars say so and why, and while
// the command runs the first tab says what the page waits for (its Apply stays off meanwhile).
struct RefreshFailure {
    const char* name;
    QStringList device;
    int status;  // what the command met
    bool unanswered;
};

void PrintTo(const RefreshFailure& failure, std::ostream* out) { *out << failure.name; }

class DhcpMappingRefreshFails : public DhcpPage, public ::testing::WithParamInterface<RefreshFailure> {
protected:
    QStringList deviceArguments() const override { return GetParam().device; }
};

TEST_P(DhcpMappingRefreshFails, TheStatusBarsSaySoAndWhy)
{
    const QString waiting = "Asking the device to refresh its current IP mapping lists...";
    QString whileWaiting;
    QTimer::singleShot(500, main.get(), [&] {
        if (auto* opening = main->findChild<TFM_DHCP*>())
            whileWaiting = opening->ui->StatusBar1->Panel(0)->Text();
    });
    auto page = open();
    Ui::TFM_DHCP& ui = *page->ui;
    if (GetParam().unanswered)
        EXPECT_EQ(whileWaiting, waiting);
    const QString reason = QString::fromStdString(MapStatus(GetParam().status).text);
    ASSERT_TRUE(waitFor([&] { return !page->DynamicMappings->Busy && !page->StaticMappings->Busy; }, 5000));
    for (QvStatusBar* bar : {ui.StatusBar3, ui.StatusBar4}) {
        const QString text = bar->Panel(0)->Text();
        EXPECT_TRUE(text.startsWith("The current IP mapping lists could not be refreshed")) << text.toStdString();
        EXPECT_TRUE(text.contains(reason)) << text.toStdString();
    }
    EXPECT_TRUE(ui.Bt_Apply->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Device, DhcpMappingRefreshFails,
    ::testing::Values(RefreshFailure{"Refused", {"--refuse-set", PrivateOid(".2.7.4.3.1.0") + "=6"}, 6, false},
                      RefreshFailure{"Unanswered", {"--write-community", "secret"}, -5, true}),
    [](const ::testing::TestParamInfo<RefreshFailure>& info) { return std::string(info.param.name); });

// Every lease change probes its address; it runs where no echo can leave the machine.
TEST(DhcpStaticPool, RunsInANetworkOfItsOwn)
{
    if (InOwnNetwork())
        GTEST_SKIP() << "the run inside the namespace";
    const OwnNetworkRun run = RunInOwnNetwork("DhcpStaticPoolInNamespace*.*");
    if (!run.started)
        GTEST_SKIP() << "network namespaces are not allowed here: " << run.output.toStdString();
    EXPECT_TRUE(run.passed) << run.output.toStdString();
}

class DhcpStaticPoolInNamespace : public DhcpPage {
protected:
    void SetUp() override
    {
        if (!InOwnNetwork())
            GTEST_SKIP() << "runs inside the namespace DhcpStaticPool makes";
        DhcpPage::SetUp();
    }
    // Opens the entry dialog with the button and, once it shows, types the entry and applies.
    void enter(TFM_DHCP& page, QPushButton* button, const QString& ip, const QString& mac)
    {
        QTimer::singleShot(0, &page, [&page, ip, mac] {
            Ui::TFM_StaticIP& entry = *page.StaticIP->ui;
            entry.Ed_AsgIP->setText(ip);
            entry.Ed_AsgMac->setText(mac);
            entry.Apply->click();
            // A refused entry leaves the dialog open.
            if (page.StaticIP->isVisible())
                page.StaticIP->reject();
        });
        button->click();
        EXPECT_TRUE(waitFor([&] { return !page.PageBusy() && !page.LeaseTable->Busy && !page.LeaseList->Busy; },
                            10000));
    }
    // Runs steps inside the entry dialog the button opens (it is modal), then leaves it.
    void inEntryDialog(TFM_DHCP& page, QPushButton* button, const std::function<void(TFM_StaticIP&)>& steps)
    {
        bool ran = false;
        QTimer::singleShot(0, &page, [&] {
            ran = page.StaticIP->isVisible();
            steps(*page.StaticIP);
            if (page.StaticIP->isVisible())
                page.StaticIP->reject();
        });
        button->click();
        EXPECT_TRUE(ran) << "the entry dialog did not open";
        EXPECT_TRUE(waitFor([&] { return !page.PageBusy() && !page.LeaseTable->Busy && !page.LeaseList->Busy; },
                            10000));
    }
    void selectListed(TFM_DHCP& page, const QString& ip)
    {
        QTreeWidget* list = page.ui->User_ListView;
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            if (list->topLevelItem(row)->text(1) == ip)
                list->setCurrentItem(list->topLevelItem(row));
    }
};

TEST_F(DhcpStaticPoolInNamespace, LeasesAreAddedReplacedInPlaceAndDeleted)
{
    auto page = open();
    Ui::TFM_DHCP& ui = *page->ui;
    QStringList expected = freeLeases();

    // Added in the first free row.
    enter(*page, ui.Bt_Add, "10.7.0.10", "00AABBCCDDEE");
    expected[0] = "10.7.0.10 00AABBCCDDEE";
    EXPECT_EQ(deviceLeases(), expected) << recorder.texts().join("|").toStdString();
    enter(*page, ui.Bt_Add, "10.7.0.11", "001122334455");
    expected[1] = "10.7.0.11 001122334455";
    EXPECT_EQ(deviceLeases(), expected);

    // A client that has an entry already: replaced in its own row (typed in lower case), the
    // free row Add chose stays free. The clear and the write of the row arrive in this order.
    enter(*page, ui.Bt_Add, "10.7.0.12", "00aabbccddee");
    expected[0] = "10.7.0.12 00AABBCCDDEE";
    EXPECT_EQ(deviceLeases(), expected);
    EXPECT_EQ(ui.User_ListView->topLevelItemCount(), 2);

    // In the address check a stored lower-case MAC is not matched by upper case; the device
    // stores MACs upper case, so only the page's rule shows it.
    EXPECT_TRUE(MacMatches("00aabbccddee", "00AABBCCDDEE"));
    EXPECT_FALSE(MacMatches("00AABBCCDDEE", "00aabbccddee"));

    // A duplicate address is refused and nothing changes; addresses compare as numbers.
    for (const char* duplicate : {"10.7.0.11", "010.007.000.011"}) {
        recorder.messages.clear();
        enter(*page, ui.Bt_Add, duplicate, "00CCCCCCCCCC");
        EXPECT_EQ(recorder.texts(), QStringList({"Reject: The IP has already existed. "})) << duplicate;
        EXPECT_EQ(deviceLeases(), expected);
    }

    // Delete frees the row.
    selectListed(*page, "10.7.0.11");
    ui.Bt_Del->click();
    ASSERT_TRUE(waitFor([&] { return !page->LeaseTable->Busy && !page->LeaseList->Busy; }, 10000));
    expected[1] = "0.0.0.0 000000000000";
    EXPECT_EQ(deviceLeases(), expected);
    EXPECT_EQ(ui.User_ListView->topLevelItemCount(), 1);
}

// The entry dialog's checks run in their order, each with its text and title; a refused entry
// writes nothing and leaves the dialog open.
TEST_F(DhcpStaticPoolInNamespace, EntryChecksRunInTheirOrder)
{
    auto page = open();
    struct Case {
        const char *mask, *gateway, *wins, *dns, *domain, *ip, *mac, *message, *title;
    };
    const Case cases[] = {
        {"255.0.255.0", "", "", "", "", "10.7.0.30", "00AABBCC0001", "Please input valid SubMask.", "Waring"},
        {"", "10.7.0.255", "", "", "", "10.7.0.30", "00AABBCC0001", "Please input valid Gateway.", "Waring"},
        {"", "", "224.0.0.1", "", "", "10.7.0.30", "00AABBCC0001", "Please input valid Wins.", "Waring"},
        {"", "", "", "127.0.0.1", "", "10.7.0.30", "00AABBCC0001", "Please input valid DNS.", "Waring"},
        {"", "", "", "", "a\"b", "10.7.0.30", "00AABBCC0001", "Quotation Mark (\") is not accepted", "Warning"},
        {"", "", "", "", "", "10.7.0.0", "00AABBCC0001", "Please input valid IP address", "Waring"},
        {"", "", "", "", "", "10.9.8.1", "00AABBCC0001", "Reject: The IP already has been used.", "Warning"},
        {"", "", "", "", "", "10.7.0.30", "00AABBCC", "Please input valid MAC.", "Warning"},
        {"", "", "", "", "", "10.7.0.30", "000000000000", "Please input valid MAC.", "Warning"},
        {"", "", "", "", "", "192.168.0.149", "00AABBCC0001", "Reject: The IP has already existed in IP Dynamic pool.",
         "Warning"},
        {"", "", "", "", "", "192.168.000.050", "00AABBCC0001", "Reject: The IP is the system IP.", "Warning"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        recorder.messages.clear();
        QTimer::singleShot(0, page.get(), [&page, &c] {
            Ui::TFM_StaticIP& entry = *page->StaticIP->ui;
            entry.Ed_SubMask->setText(c.mask);
            entry.Ed_Gatway->setText(c.gateway);
            entry.Ed_Wins->setText(c.wins);
            entry.Ed_DNS->setText(c.dns);
            entry.Ed_DomNa->setText(c.domain);
            entry.Ed_AsgIP->setText(c.ip);
            entry.Ed_AsgMac->setText(c.mac);
            entry.Apply->click();
            EXPECT_TRUE(page->StaticIP->isVisible()) << "a refused entry keeps the dialog open";
            page->StaticIP->reject();
        });
        page->ui->Bt_Add->click();
        ASSERT_EQ(recorder.messages.size(), 1u) << recorder.texts().join("|").toStdString();
        EXPECT_EQ(recorder.messages[0].text, c.message);
        EXPECT_EQ(recorder.messages[0].caption, c.title);
    }
    EXPECT_EQ(deviceLeases(), freeLeases());
}

// A device that takes the clearing set of row 1 and then answers nothing more: the client's
// entry is gone from the device and its new one was never written. The page says so and
// reads the lists again instead of showing the lost entry.
class DhcpStaticPoolInNamespaceHanging : public DhcpStaticPoolInNamespace {
protected:
    QStringList deviceArguments() const override
    {
        const QJsonObject variables{{Lease(2, 1), QJsonObject{{"type", "ipaddress"}, {"value", "10.7.0.10"}}},
                                    {Lease(3, 1), QJsonObject{{"type", "macaddress"}, {"value", "00AABBCCDDEE"}}}};
        return {"--state-in", WriteDeviceState(folder.filePath("leases.json"), variables), "--hang-after-set",
                Lease(2, 1)};
    }
};

TEST_F(DhcpStaticPoolInNamespaceHanging, ALeaseLostBetweenItsClearAndItsWriteIsToldAndNotShown)
{
    auto page = open();
    ASSERT_EQ(column(page->ui->User_ListView, 1), QStringList({"10.7.0.10"}));
    recorder.messages.clear();
    enter(*page, page->ui->Bt_Add, "10.7.0.20", "00AABBCCDDEE");
    ASSERT_TRUE(waitFor([&] { return !recorder.messages.empty(); }, 20000));
    EXPECT_TRUE(recorder.messages.front().text.startsWith("The static pool could not be written: "))
        << recorder.texts().join("|").toStdString();
    EXPECT_EQ(device->value(Lease(2, 1)), "0.0.0.0");
    EXPECT_FALSE(column(page->ui->User_ListView, 1).contains("10.7.0.10"));
}

TEST_F(DhcpStaticPoolInNamespace, AFullPoolTakesNoEntry)
{
    std::vector<SnmpVarBind> rows;
    for (int row = 1; row <= kLeaseRows; ++row)
        rows.push_back(Bind(Lease(2, row), kIpAddress, Packed(10, 7, 1, row)));
    ASSERT_EQ(set(rows).status, 0);
    auto page = open();
    recorder.messages.clear();
    page->ui->Bt_Add->click();
    EXPECT_EQ(recorder.texts(), QStringList({"The static pool is full!"}));
    EXPECT_FALSE(page->StaticIP->isVisible());
}

// Set edits an entry in its own row; giving its address to another client is refused and the
// dialog returns to the stored entry. The tab's own Apply writes the server switch alone.
TEST_F(DhcpStaticPoolInNamespace, SetEditsAnEntryInItsRowAndTheTabsApplyWritesOnlyTheSwitch)
{
    auto page = open();
    Ui::TFM_DHCP& ui = *page->ui;
    enter(*page, ui.Bt_Add, "10.7.0.10", "00AABBCCDDEE");
    enter(*page, ui.Bt_Add, "10.7.0.11", "001122334455");
    QStringList expected = freeLeases();
    expected[0] = "10.7.0.10 00AABBCCDDEE";
    expected[1] = "10.7.0.11 001122334455";
    ASSERT_EQ(deviceLeases(), expected) << recorder.texts().join("|").toStdString();

    selectListed(*page, "10.7.0.11");
    ASSERT_TRUE(ui.Bt_Set->isEnabled());
    inEntryDialog(*page, ui.Bt_Set, [&](TFM_StaticIP& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Static IP Pool Setting");
        EXPECT_EQ(dialog.ui->Ed_AsgIP->text(), "10.7.0.11");
        EXPECT_EQ(dialog.ui->Ed_OldIP->text(), "10.7.0.11");
        EXPECT_FALSE(dialog.ui->Ed_OldIP->isEnabled()) << "editing";
        dialog.ui->Ed_AsgIP->setText("10.7.0.12");
        dialog.ui->Ed_SubMask->setText("255.255.0.0");
        dialog.ui->Apply->click();
        EXPECT_FALSE(dialog.isVisible());
    });
    expected[1] = "10.7.0.12 001122334455";
    EXPECT_EQ(deviceLeases(), expected) << recorder.texts().join("|").toStdString();
    EXPECT_EQ(device->value(Lease(4, 2)), "255.255.0.0");
    EXPECT_EQ(column(ui.User_ListView, 1), QStringList({"10.7.0.10", "10.7.0.12"}));

    selectListed(*page, "10.7.0.12");
    inEntryDialog(*page, ui.Bt_Set, [&](TFM_StaticIP& dialog) {
        dialog.ui->Ed_AsgMac->setText("00CCCCCCCCCC");
        dialog.ui->Ed_SubMask->setText("255.255.255.0");
        dialog.ui->Apply->click();
        EXPECT_EQ(recorder.texts(), QStringList({"Reject: DHCPS static IP already exists in static DHCP server!"}));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.ui->Ed_AsgMac->text(), "001122334455");
        EXPECT_EQ(dialog.ui->Ed_SubMask->text(), "255.255.0.0");
    });
    EXPECT_EQ(deviceLeases(), expected);

    // The static tab's Apply: the switch as chosen there, then the restart.
    recorder.messages.clear();
    WaitWatcher waits;
    ui.CB_Fuction2->setCurrentIndex(0);
    emit ui.CB_Fuction2->activated(0);
    EXPECT_EQ(ui.CB_Fuction1->currentIndex(), 0);
    ui.StaticApply->click();
    EXPECT_TRUE(deviceShows(PrivateOid(".2.7.1.0"), "0"));
    EXPECT_EQ(waits.firstCountdowns, QStringList({"40"}));
    EXPECT_EQ(deviceLeases(), expected);
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
}

// A write step that throws (here the address resolves to nothing) ends the change with its
// message, and the page is not left busy: it still closes.
TEST_F(DhcpStaticPoolInNamespace, AWriteThatThrowsLeavesThePageFreeToClose)
{
    auto page = open();
    page->Function->request.address = "no-such-host.invalid";
    enter(*page, page->ui->Bt_Add, "10.7.0.10", "00AABBCCDDEE");
    EXPECT_EQ(recorder.texts(), QStringList({"(QvSNMP++) Invalid IP Address or DNS name!"}));
    EXPECT_FALSE(page->PageBusy());
    EXPECT_TRUE(page->close());
}

// In a /23 an address ending in .255 is an ordinary host: it was read, so the pool is checked
// against it rather than refused as unread.
class DhcpPageInAWiderNetwork : public DhcpPage {
protected:
    QStringList deviceArguments() const override { return {"--lan", "192.168.1.255/255.255.254.0"}; }
};

TEST_F(DhcpPageInAWiderNetwork, ADeviceAddressEndingIn255IsCheckedNotRefused)
{
    ASSERT_EQ(set({Bind(PrivateOid(".2.7.1.0"), kInteger, {}, 1)}).status, 0);
    auto page = open();
    Ui::TFM_DHCP& ui = *page->ui;
    ASSERT_TRUE(waitFor([&] { return !page->DeviceAddress->Busy; }));
    ASSERT_EQ(ui.Ed_ext->text(), "192.168.1.255");
    ui.Ed_IPAF->setText("192.168.1.250");
    ui.Ed_PoolRan->setText("10");
    ui.Bt_Apply->click();
    EXPECT_EQ(recorder.texts(), QStringList({"Reject: The DHCP dynamic IP pool will cover system IP."}));

    recorder.messages.clear();
    WaitWatcher waits;
    ui.Ed_IPAF->setText("192.168.1.200");
    ui.Bt_Apply->click();
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
    EXPECT_TRUE(deviceShows(PrivateOid(".2.7.2.1.0"), "192.168.1.200"));
    EXPECT_EQ(waits.dialogsShown, 1);
}

} // namespace
