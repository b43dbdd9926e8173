// The filter page, the MAC address table page and its entry dialog against the simulator.

#include "support/PageTestKit.h"
#include "snmp/SnmpSettings.h"

#include "binding/New_req2Edit.h"
#include "binding/QvStatusBar.h"
#include "pages/advanced/TFM_Filter.h"
#include "pages/advanced/TFM_FilterMAC.h"
#include "pages/advanced/TFM_MACAddr.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace {

QString filterOid(const char* column, int radio)
{
    return PrivateOid(QString(".2.4.%1.%2").arg(column).arg(radio));
}
QString macRowOid(int radio, int row) { return PrivateOid(QString(".2.4.2.1.2.%1.%2").arg(radio).arg(row)); }

std::string macBytes(const char* hex) { return QByteArray::fromHex(hex).toStdString(); }

} // namespace

class FiltersAgainstDevice : public ModuleAgainstDevice {
protected:
    // The second radio's items and the row between the radios must never be written: the
    // device refuses them, so a page that sent one would fail its Apply.
    QStringList deviceArguments() const override
    {
        return {"--refuse-set", filterOid("1.1.1", 2) + "=17", "--refuse-set", filterOid("3.1.1", 2) + "=17",
                "--refuse-set", filterOid("3.1.2", 2) + "=17", "--refuse-set", filterOid("3.1.3", 1) + "=17",
                "--refuse-set", filterOid("3.1.3", 2) + "=17"};
    }

    // Opens the MAC table page of radio 1 and waits until both lists have been read.
    std::unique_ptr<TFM_FilterMAC> openTable()
    {
        auto page = std::make_unique<TFM_FilterMAC>(1);
        page->show();
        EXPECT_TRUE(settled(*page));
        return page;
    }

    // Both lists have been read again after the last change.
    static bool settled(TFM_FilterMAC& page)
    {
        return waitFor([&] { return !page.PageBusy() && !page.TableEdits->Busy && !page.DisplayEdits->Busy; }, 5000);
    }

    // Runs steps inside the entry dialog the button opens (it is modal).
    void inEntryDialog(TFM_FilterMAC& page, QPushButton* opener, const std::function<void(TFM_MACAddr&)>& steps)
    {
        bool ran = false;
        QTimer::singleShot(0, &page, [&] {
            TFM_MACAddr* dialog = page.EntryDialog();
            ran = dialog->isVisible();
            steps(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        opener->click();
        EXPECT_TRUE(ran) << "the entry dialog did not open";
    }
};

TEST_F(FiltersAgainstDevice, TheFilterPageWritesOnlyTheVisibleRadioAndRestarts)
{
    ASSERT_EQ(set({Bind(filterOid("1.1.1", 1), 2, {}, 2), Bind(filterOid("3.1.2", 1), 2, {}, 0)}).status, 0);
    TFM_Filter page(main.get());
    page.show();
    auto* accessControl = child<QComboBox>(&page, "CB_ACa");
    auto* listButton = child<QPushButton>(&page, "Bt_MacTaba");
    EXPECT_EQ(child<QTabWidget>(&page, "Bt_MacTableg")->tabText(0), "IEEE 802.11g");
    EXPECT_FALSE(child<QTabWidget>(&page, "Bt_MacTableg")->isTabVisible(1));
    EXPECT_FALSE(child<QComboBox>(&page, "CB_InSCBa")->isVisible());
    EXPECT_EQ(accessControl->currentText(), "Accept");
    EXPECT_EQ(child<QComboBox>(&page, "CB_InSCa")->currentText(), "Enable");
    EXPECT_EQ(child<QComboBox>(&page, "CB_E2WAa")->currentText(), "Disable");
    EXPECT_TRUE(listButton->isEnabled());

    // The list button follows the access control choice.
    for (auto [index, enabled] : {std::pair{0, false}, {2, true}, {1, true}, {0, false}}) {
        accessControl->setCurrentIndex(index);
        emit accessControl->activated(index);
        EXPECT_EQ(listButton->isEnabled(), enabled) << index;
    }

    // Nothing of the hidden radio or of the hidden "between" row may travel.
    accessControl->setCurrentIndex(2);
    child<QComboBox>(&page, "CB_InSCa")->setCurrentIndex(1);
    WaitWatcher watcher;
    child<QPushButton>(&page, "Bt_Apply")->click();
    EXPECT_EQ(watcher.dialogsShown, 1) << page.StatusBar()->SimpleText().toStdString();
    EXPECT_EQ(device->value(filterOid("1.1.1", 1)), "3");
    EXPECT_EQ(device->value(filterOid("3.1.1", 1)), "0");
    EXPECT_EQ(device->value(filterOid("1.1.1", 2)), "1");
    EXPECT_NE(page.StatusBar()->SimpleText(), "Setting Error!");
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
}

class FiltersOnARefusingDevice : public ModuleAgainstDevice {
protected:
    QStringList deviceArguments() const override { return {"--refuse-set", filterOid("1.1.1", 1) + "=17"}; }
};

TEST_F(FiltersOnARefusingDevice, AFailedApplySaysSoAndDoesNotRestart)
{
    TFM_Filter page(main.get());
    page.show();
    WaitWatcher watcher;
    child<QPushButton>(&page, "Bt_Apply")->click();
    EXPECT_EQ(page.StatusBar()->SimpleText(), "Setting Error!");
    EXPECT_EQ(watcher.dialogsShown, 0);
}

TEST_F(FiltersAgainstDevice, TheListButtonOpensTheRadiosTable)
{
    ASSERT_EQ(set({Bind(filterOid("1.1.1", 1), 2, {}, 3)}).status, 0);
    TFM_Filter page(main.get());
    page.show();
    QString caption;
    bool flagged = false;
    // Polled, not waited for: the list's rows arrive from the event pump, which a wait
    // started inside its own row delivery would hold up.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* table = page.findChild<TFM_FilterMAC*>();
        if (!table || table->PageBusy())
            return;
        caption = table->windowTitle();
        flagged = page.MacTableOpen(1);
        table->close();
    });
    poll.start(20);
    child<QPushButton>(&page, "Bt_MacTaba")->click();
    EXPECT_EQ(caption, "IEEE802.11g MAC Address Table");
    EXPECT_TRUE(flagged);
    EXPECT_FALSE(page.MacTableOpen(1));
}

TEST_F(FiltersAgainstDevice, AFullTableLeavesAddDisabled)
{
    std::vector<SnmpVarBind> rows;
    for (int row = 1; row <= 16; ++row)
        rows.push_back(Bind(macRowOid(1, row), 4, macBytes(QString("00E0A63105%1").arg(row, 2, 10, QChar('0')).toLatin1())));
    ASSERT_EQ(set(rows).status, 0);
    auto page = openTable();
    EXPECT_EQ(child<QTreeWidget>(page.get(), "User_ListView")->topLevelItemCount(), 16);
    EXPECT_FALSE(child<QPushButton>(page.get(), "Bt_Add")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(page.get(), "Bt_Rfrsh")->isEnabled());
}

TEST_F(FiltersAgainstDevice, EntriesAreAddedChangedAndDeletedWithTheirChecks)
{
    ASSERT_EQ(set({Bind(macRowOid(1, 3), 4, macBytes("00E0A6310524"))}).status, 0);
    auto page = openTable();
    auto* shown = child<QTreeWidget>(page.get(), "User_ListView");
    auto* add = child<QPushButton>(page.get(), "Bt_Add");
    EXPECT_EQ(column(shown, 1), QStringList({"00E0A6310524"}));
    EXPECT_TRUE(add->isEnabled());
    EXPECT_FALSE(child<QPushButton>(page.get(), "Bt_Set")->isEnabled());

    // Add fills the first free row; each refused address leaves the dialog open.
    inEntryDialog(*page, add, [&](TFM_MACAddr& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Adding MAC address");
        EXPECT_EQ(child<QLabel>(&dialog, "LA_Index")->text(), "1");
        const struct {
            const char* typed;
            const char* message;
        } refused[] = {
            {"00e0a631052", "The length is 12 in MAC Address."},
            {"000000000000", "Please input a valid MAC Address."},
            {"00e0a6310524", "Reject: The MAC already exists "},
        };
        for (const auto& c : refused) {
            recorder.messages.clear();
            child<QLineEdit>(&dialog, "Ed_MACAddr")->setText(c.typed);
            child<QPushButton>(&dialog, "Bt_Apply")->click();
            EXPECT_EQ(recorder.texts(), QStringList({c.message})) << c.typed;
            EXPECT_TRUE(dialog.isVisible()) << c.typed;
        }
        recorder.messages.clear();
        child<QLineEdit>(&dialog, "Ed_MACAddr")->setText("00112233445a");
        child<QPushButton>(&dialog, "Bt_Apply")->click();
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
    EXPECT_FALSE(page->close()) << "busy until the lists have been read again";
    EXPECT_TRUE(deviceShows(macRowOid(1, 1), "00112233445A"));
    ASSERT_TRUE(settled(*page));
    ASSERT_EQ(shown->topLevelItemCount(), 2);
    EXPECT_EQ(column(shown, 0), QStringList({"1", "2"}));

    // The row itself may keep its address, typed in lower case.
    shown->setCurrentItem(shown->topLevelItem(1));
    ASSERT_TRUE(child<QPushButton>(page.get(), "Bt_Set")->isEnabled());
    inEntryDialog(*page, child<QPushButton>(page.get(), "Bt_Set"), [&](TFM_MACAddr& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Set MAC Address");
        EXPECT_EQ(child<QLabel>(&dialog, "LA_Index")->text(), "3");
        child<QLineEdit>(&dialog, "Ed_MACAddr")->setText("00e0a6310524");
        child<QPushButton>(&dialog, "Bt_Apply")->click();
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
    ASSERT_TRUE(settled(*page));
    ASSERT_EQ(shown->topLevelItemCount(), 2);

    // Deleting frees the row; the numbering closes up.
    shown->setCurrentItem(shown->topLevelItem(0));
    child<QPushButton>(page.get(), "Bt_Del")->click();
    EXPECT_TRUE(deviceShows(macRowOid(1, 1), "000000000000"));
    ASSERT_TRUE(settled(*page));
    ASSERT_EQ(shown->topLevelItemCount(), 1);
    EXPECT_EQ(column(shown, 0), QStringList({"1"}));
    EXPECT_EQ(column(shown, 1), QStringList({"00E0A6310524"}));
    EXPECT_EQ(device->value(macRowOid(1, 3)), "00E0A6310524");
    EXPECT_TRUE(page->close());
}

// Entries in rows 1 to 5, each a walk step of its own that the device answers a little late.
class FiltersWithSlowReads : public FiltersAgainstDevice {
protected:
    QStringList deviceArguments() const override
    {
        return FiltersAgainstDevice::deviceArguments() + QStringList{"--delay-ms", "40"};
    }
    void SetUp() override
    {
        FiltersAgainstDevice::SetUp();
        // Walked a row per exchange (get-bulk off), so a walk is still under way when Refresh comes.
        QvSNMPDevice.getBulk = false;
        std::vector<SnmpVarBind> rows;
        for (int row = 1; row <= 5; ++row)
            rows.push_back(Bind(macRowOid(1, row), 4, macBytes(QString("00E0A631050%1").arg(row).toLatin1())));
        ASSERT_EQ(set(rows, 300).status, 0);
    }
};

// Refresh while the list of used rows is still being walked: the new read follows the old one
// instead of being skipped, so the list ends whole and numbered from 1.
TEST_F(FiltersWithSlowReads, RefreshDuringAnEarlierReadEndsWithTheWholeListNumberedFromOne)
{
    auto page = openTable();
    auto* shown = child<QTreeWidget>(page.get(), "User_ListView");
    ASSERT_EQ(shown->topLevelItemCount(), 5);
    page->DisplayEdits->RowNumber = 1;
    page->DisplayEdits->Get();
    ASSERT_TRUE(waitFor([&] { return shown->topLevelItemCount() >= 2; }));
    ASSERT_TRUE(page->DisplayEdits->Busy);
    ASSERT_FALSE(page->TableEdits->Busy);
    child<QPushButton>(page.get(), "Bt_Rfrsh")->click();
    ASSERT_TRUE(settled(*page));
    EXPECT_EQ(column(shown, 0), QStringList({"1", "2", "3", "4", "5"}));
    EXPECT_EQ(column(shown, 1), QStringList({"00E0A6310501", "00E0A6310502", "00E0A6310503", "00E0A6310504",
                                             "00E0A6310505"}));
}

// What the page does not serve while the table is being read, it says so; an entry left
// without Apply leaves nothing behind: not its text, not a busy page.
TEST_F(FiltersWithSlowReads, BusyButtonsSaySoAndACancelledEntryLeavesNothingBehind)
{
    auto page = openTable();
    auto* shown = child<QTreeWidget>(page.get(), "User_ListView");
    const QString busy = QvPage::kBusyText;
    auto panel = [&] { return page->StatusBar()->Panel(0)->Text(); };

    // Set on the second entry: a changed address left without Apply is not shown next time.
    shown->setCurrentItem(shown->topLevelItem(1));
    inEntryDialog(*page, child<QPushButton>(page.get(), "Bt_Set"), [&](TFM_MACAddr& dialog) {
        EXPECT_EQ(child<QLineEdit>(&dialog, "Ed_MACAddr")->text(), "00E0A6310502");
        child<QLineEdit>(&dialog, "Ed_MACAddr")->setText("00112233445F");
    });
    inEntryDialog(*page, child<QPushButton>(page.get(), "Bt_Set"), [&](TFM_MACAddr& dialog) {
        EXPECT_EQ(child<QLineEdit>(&dialog, "Ed_MACAddr")->text(), "00E0A6310502");

        // The table is being read: Apply is not served, the page's status bar says so.
        page->TableEdits->Get();
        child<QPushButton>(&dialog, "Bt_Apply")->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(panel(), busy);
    });
    ASSERT_TRUE(settled(*page));
    EXPECT_EQ(device->value(macRowOid(1, 2)), "00E0A6310502");

    // Refresh under a read of the table says so too.
    page->TableEdits->Get();
    child<QPushButton>(page.get(), "Bt_Rfrsh")->click();
    EXPECT_EQ(panel(), busy);
    ASSERT_TRUE(settled(*page));

    // Add left without Apply sent nothing: the page is free to close at once.
    inEntryDialog(*page, child<QPushButton>(page.get(), "Bt_Add"), [&](TFM_MACAddr& dialog) {
        EXPECT_EQ(child<QLineEdit>(&dialog, "Ed_MACAddr")->text(), "000000000000");
    });
    EXPECT_FALSE(page->PageBusy());
    EXPECT_TRUE(page->close());
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
}
