// The rogue AP page against the simulator: the masks it writes, the detection run that
// closes the page off until its rows are in, the row commands and Apply, and a device that
// stops answering after the detection command.
//
// What the simulated device hears (a fresh device looks for AP networks, bands b and g, every
// security kind): CoffeeShop (g, OFF), Office-Legacy (g, WEP), HomeNet (g, WPA-PSK),
// Printer-Setup (b, WPA2-PSK); an ad hoc network and one in band a are left out.

#include "support/PageTestKit.h"

#include "binding/ListExport.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "binding/QvStatusBar.h"
#include "binding/RadioGroup.h"
#include "pages/advanced/TFM_RogueForm.h"
#include "ui_TFM_RogueForm.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

namespace {

const QString kBssType = PrivateOid(".2.10.1.0");
const QString kBand = PrivateOid(".2.10.2.0");
const QString kSecurity = PrivateOid(".2.10.3.0");
const QString kDetect = PrivateOid(".2.10.4.1.1.0");
const QString kAddToList = PrivateOid(".2.10.4.1.2.0");
const QString kDeleteResult = PrivateOid(".2.10.4.1.3.0");
const QString kDeleteList = PrivateOid(".2.10.4.2.1.0");

SnmpVarBind Int(const QString& oid, int value) { return Bind(oid, 2, {}, value); }

QStringList captions(QTreeWidget* view)
{
    QStringList texts;
    for (int i = 0; i < view->columnCount(); ++i)
        texts << view->headerItem()->text(i);
    return texts;
}

// The six buttons' enabled states, in the order Detect, Add, Del, AP list Del, Apply, Cancel.
QString buttons(QWidget* page)
{
    QString states;
    for (const char* name : {"DetectBtn", "AddBtn", "DelBtn", "ListDelBtn", "Apply_Btn", "Cancel_Btn"})
        states += page->findChild<QPushButton*>(name)->isEnabled() ? '1' : '0';
    return states;
}

// As the user would: a click when the box is not as wanted.
void check(QWidget* page, const char* name, bool checked)
{
    auto* box = child<QCheckBox>(page, name);
    if (box->isChecked() != checked)
        box->click();
    EXPECT_EQ(box->isChecked(), checked) << name;
}

void chooseBssType(QWidget* page, const QString& text)
{
    for (QRadioButton* button : child<RadioGroup>(page, "BSSTypRadGrp")->findChildren<QRadioButton*>())
        if (button->text() == text) {
            button->click();
            return;
        }
    ADD_FAILURE() << "no BSS type " << text.toStdString();
}

} // namespace

class RogueAgainstDevice : public ModuleAgainstDevice {
protected:
    // Opens the page and waits until the AP list has been read.
    std::unique_ptr<TFM_RogueForm> open()
    {
        auto page = std::make_unique<TFM_RogueForm>(main.get());
        page->show();
        EXPECT_TRUE(settled(*page));
        return page;
    }

    // Every read and command of the page has ended and the buttons are back.
    static bool settled(TFM_RogueForm& page)
    {
        return waitFor(
            [&] {
                for (QvSNMPRequest2Edits* binding : {page.ResultEdits, page.APListEdits, page.AddToListEdits,
                                                     page.DeleteResultEdits, page.DeleteListEdits})
                    if (binding->Busy)
                        return false;
                return page.detectIdle == 1 && page.ui->Cancel_Btn->isEnabled();
            },
            10000);
    }

    static void detect(TFM_RogueForm& page)
    {
        child<QPushButton>(&page, "DetectBtn")->click();
        ASSERT_TRUE(settled(page));
    }

    // Selects the row of the list whose key is key.
    static void select(QTreeWidget* view, const QString& key)
    {
        view->clearSelection();
        for (int i = 0; i < view->topLevelItemCount(); ++i)
            if (view->topLevelItem(i)->text(0) == key) {
                view->topLevelItem(i)->setSelected(true);
                return;
            }
        ADD_FAILURE() << "no row " << key.toStdString();
    }
};

// A band bit the boxes do not show (2) and a WPA bit an ad hoc network does not count go back
// to the device as they came (once they were written as 13 and 0).
TEST_F(RogueAgainstDevice, AnUntouchedPageWritesBackTheMasksItRead)
{
    ASSERT_EQ(set({Int(kBssType, 2), Int(kBand, 15), Int(kSecurity, 8)}).status, 0);
    auto page = open();
    WaitWatcher watcher;
    child<QPushButton>(page.get(), "Apply_Btn")->click();
    EXPECT_EQ(page->StatusBar()->SimpleText(), "Set Success!");
    EXPECT_EQ(device->value(kBssType), "2");
    EXPECT_EQ(device->value(kBand), "15");
    EXPECT_EQ(device->value(kSecurity), "8");
}

TEST_F(RogueAgainstDevice, TheMasksFollowTheBoxesAndTheBssTypeAndApplyRestarts)
{
    ASSERT_EQ(set({Int(kBssType, 2), Int(kBand, 13), Int(kSecurity, 8)}).status, 0);
    auto page = open();
    // 13 is 11a, 11b and 11g; 8 is "WPA-Personal  " alone, which an ad hoc network does not
    // count: the box shows checked but disabled. Until the user changes a box the page keeps
    // the masks the device gave (an untouched page writes back what it read).
    for (const char* name : {"CheckBox_11a", "CheckBox_11b", "CheckBox_11g", "ChcBxo_psk"})
        EXPECT_TRUE(child<QCheckBox>(page.get(), name)->isChecked()) << name;
    for (const char* name : {"ChcBxo_off", "ChcBxo_wep", "ChcBxo_eap", "WPA2EAPCkBox", "WPA2PSKCkBox", "WPA2AUTECkBox",
                             "WPA2AUTPCkBox"})
        EXPECT_FALSE(child<QCheckBox>(page.get(), name)->isChecked()) << name;
    EXPECT_EQ(page->ui->BSSTypRadGrp->Items(), QStringList({"AP BSS", "Ad Hoc", "Both"}));
    EXPECT_EQ(page->ui->BSSTypRadGrp->ItemIndex(), 1);
    EXPECT_FALSE(page->ui->ChcBxo_psk->isEnabled());
    EXPECT_EQ(page->ui->BandEdit->text(), "13");
    EXPECT_EQ(page->ui->SecEdit->text(), "8");

    // Each step changes boxes while they can be clicked, then chooses the BSS type; the
    // detection run writes the masks.
    const struct {
        bool a, b, g, off, psk;
        const char* bssType;
        int bssValue, band, security;
    } steps[] = {
        {true, false, true, true, true, "AP BSS", 1, 9, 9},
        {false, true, false, true, true, "Ad Hoc", 2, 4, 1},  // the checked WPA box does not count
        {false, true, false, true, true, "AP BSS", 1, 4, 9},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.bssType);
        check(page.get(), "CheckBox_11a", s.a);
        check(page.get(), "CheckBox_11b", s.b);
        check(page.get(), "CheckBox_11g", s.g);
        check(page.get(), "ChcBxo_off", s.off);
        check(page.get(), "ChcBxo_psk", s.psk);
        chooseBssType(page.get(), s.bssType);
        const bool adHoc = QString(s.bssType) == "Ad Hoc";
        EXPECT_EQ(page->ui->ChcBxo_psk->isEnabled(), !adHoc);
        EXPECT_EQ(page->ui->WPA2AUTPCkBox->isEnabled(), !adHoc);
        EXPECT_TRUE(page->ui->ChcBxo_wep->isEnabled());
        EXPECT_TRUE(page->ui->ChcBxo_psk->isChecked());
        detect(*page);
        EXPECT_EQ(device->value(kBssType), QString::number(s.bssValue));
        EXPECT_EQ(device->value(kBand), QString::number(s.band));
        EXPECT_EQ(device->value(kSecurity), QString::number(s.security));
    }

    // Apply writes what the boxes show, says so and covers the restart.
    check(page.get(), "CheckBox_11g", true);
    WaitWatcher watcher;
    child<QPushButton>(page.get(), "Apply_Btn")->click();
    EXPECT_EQ(watcher.dialogsShown, 1);
    EXPECT_EQ(watcher.firstCountdowns, QStringList({"40"}));
    EXPECT_EQ(page->StatusBar()->SimpleText(), "Set Success!");
    EXPECT_EQ(device->value(kBand), "12");
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
}

TEST_F(RogueAgainstDevice, DetectionClosesThePageOffUntilItsRowsAreIn)
{
    auto page = open();
    auto* result = child<QTreeWidget>(page.get(), "RogueListView");
    auto* known = child<QTreeWidget>(page.get(), "AP_ListView");
    // The result list is read only after a detection; the AP list at once (empty on a new device).
    EXPECT_EQ(buttons(page.get()), "100111");
    EXPECT_EQ(result->topLevelItemCount(), 0);
    EXPECT_EQ(known->topLevelItemCount(), 0);
    // Both lists show the tables' own eight columns, the key at width 0.
    EXPECT_EQ(captions(result), QStringList({"ifIndex", "Type", "CH", "RSSI", "BSSID", "Security", "Mode", "SSID"}));
    EXPECT_EQ(captions(known), QStringList({"Index", "Type", "CH", "RSSI", "BSSID", "Security", "Mode", "SSID"}));
    for (QTreeWidget* view : {result, known}) {
        EXPECT_EQ(view->header()->sectionSize(0), 0);
        EXPECT_GT(view->header()->sectionSize(1), 0);
    }

    child<QPushButton>(page.get(), "DetectBtn")->click();
    EXPECT_EQ(device->value(kDetect), "1");
    // The rows are on their way: every button is off and the page stays, by its close box
    // and by Cancel's handler alike.
    EXPECT_EQ(page->detectIdle, 0);
    EXPECT_EQ(buttons(page.get()), "000000");
    EXPECT_FALSE(page->close());
    page->Cancel_BtnClick();
    EXPECT_TRUE(page->isVisible());

    ASSERT_TRUE(settled(*page));
    EXPECT_FALSE(waitFor([&] { return !page->isVisible(); }, 300)) << "a refused close does not come back later";
    EXPECT_EQ(buttons(page.get()), "111111");
    EXPECT_EQ(column(result, 0), QStringList({"1", "2", "3", "4"}));
    EXPECT_EQ(column(result, 7), QStringList({"CoffeeShop", "Office-Legacy", "HomeNet", "Printer-Setup"}));
    EXPECT_EQ(column(result, 5), QStringList({"OFF", "WEP", "WPA-PSK", "WPA2-PSK"}));
    EXPECT_EQ(column(result, 6), QStringList({"g", "g", "g", "b"}));
    EXPECT_EQ(column(result, 2), QStringList({"1", "6", "11", "3"}));
    EXPECT_EQ(result->topLevelItem(0)->text(4).size(), 12);  // a MAC address as twelve hex digits
    EXPECT_EQ(result->header()->sectionSize(0), 0);
    EXPECT_TRUE(page->close());
}

TEST_F(RogueAgainstDevice, RowCommandsWriteTheSelectedRowsKeyAndReadTheListsAgain)
{
    auto page = open();
    detect(*page);
    auto* result = child<QTreeWidget>(page.get(), "RogueListView");
    auto* known = child<QTreeWidget>(page.get(), "AP_ListView");

    // Without a selected row nothing is written and nothing changes.
    result->clearSelection();
    child<QPushButton>(page.get(), "AddBtn")->click();
    EXPECT_EQ(buttons(page.get()), "111111");
    EXPECT_EQ(device->value(kAddToList), "0");

    // HomeNet into the AP list, whose security texts are its own.
    select(result, "3");
    child<QPushButton>(page.get(), "AddBtn")->click();
    EXPECT_EQ(buttons(page.get()), "000000");
    ASSERT_TRUE(settled(*page));
    EXPECT_EQ(device->value(kAddToList), "3");
    EXPECT_EQ(column(result, 0), QStringList({"1", "2", "4"}));
    EXPECT_EQ(column(known, 7), QStringList({"HomeNet"}));
    EXPECT_EQ(column(known, 5), QStringList({"WPA-Personal"}));

    // The third row now holds key 4: the key travels, not the row's place.
    select(result, "4");
    child<QPushButton>(page.get(), "DelBtn")->click();
    ASSERT_TRUE(settled(*page));
    EXPECT_EQ(device->value(kDeleteResult), "4");
    EXPECT_EQ(column(result, 7), QStringList({"CoffeeShop", "Office-Legacy"}));
    EXPECT_EQ(column(known, 7), QStringList({"HomeNet"}));

    select(known, column(known, 0).value(0));
    child<QPushButton>(page.get(), "ListDelBtn")->click();
    ASSERT_TRUE(settled(*page));
    EXPECT_EQ(device->value(kDeleteList), "1");
    EXPECT_EQ(known->topLevelItemCount(), 0);
    EXPECT_EQ(result->topLevelItemCount(), 2);
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
}

class RogueOnARefusingDevice : public RogueAgainstDevice {
protected:
    QStringList deviceArguments() const override
    {
        return {"--refuse-set", kSecurity + "=17", "--refuse-set", kDeleteResult + "=13"};
    }
};

TEST_F(RogueOnARefusingDevice, AFailedApplyOrRowCommandSaysSoAndTheWindowStillCloses)
{
    auto page = open();
    WaitWatcher watcher;
    child<QPushButton>(page.get(), "Apply_Btn")->click();
    EXPECT_EQ(page->StatusBar()->SimpleText(), "Set Error!");
    EXPECT_EQ(watcher.dialogsShown, 0);

    // The refused settings leave the command to run on the device's own; its rows arrive.
    detect(*page);
    auto* result = child<QTreeWidget>(page.get(), "RogueListView");
    ASSERT_EQ(result->topLevelItemCount(), 4);

    select(result, "2");
    child<QPushButton>(page.get(), "DelBtn")->click();
    ASSERT_TRUE(waitFor([&] { return !page->DeleteResultEdits->Busy; }, 5000));
    EXPECT_TRUE(page->StatusBar()->SimpleText().startsWith("Set: (SNMP) Cannot create/set variable, Resource Unavailable!"))
        << page->StatusBar()->SimpleText().toStdString();
    EXPECT_EQ(buttons(page.get()), "000000");
    EXPECT_EQ(result->topLevelItemCount(), 4);
    EXPECT_TRUE(page->close());
}

class RogueOnAHangingDevice : public RogueAgainstDevice {
protected:
    QStringList deviceArguments() const override { return {"--hang-after-set", kDetect}; }
};

TEST_F(RogueOnAHangingDevice, AResultReadThatFailsGivesThePageBack)
{
    auto page = open();
    // The silent device would hold the read for two tries of 10 s.
    page->ResultEdits->request.timeout = 30;
    page->ResultEdits->request.retries = 0;
    child<QPushButton>(page.get(), "DetectBtn")->click();
    EXPECT_FALSE(page->close());

    ASSERT_TRUE(waitFor([&] { return page->detectIdle == 1; }, 5000));
    EXPECT_TRUE(page->isVisible());
    EXPECT_FALSE(page->ResultEdits->Busy);
    EXPECT_EQ(buttons(page.get()), "111111");
    EXPECT_TRUE(page->StatusBar()->SimpleText().startsWith("Get: ")) << page->StatusBar()->SimpleText().toStdString();
    EXPECT_TRUE(page->close());
    EXPECT_FALSE(page->isVisible());
}

// Neighbours name their networks as they please: an SSID that a spreadsheet would take for a
// formula leaves the list as text, a signal level stays a number.
class RogueWithChosenNames : public RogueAgainstDevice {
protected:
    QStringList deviceArguments() const override
    {
        auto cell = [](int column, int row) { return PrivateOid(QString(".2.10.4.2.2.1.%1.%2").arg(column).arg(row)); };
        auto text = [](const QString& value) { return QJsonObject{{"type", "string"}, {"value", value}}; };
        auto number = [](int value) { return QJsonObject{{"type", "integer"}, {"value", value}}; };
        QJsonObject variables;
        const struct {
            QString ssid;
            int rssi;
        } rows[] = {{"=HYPERLINK(\"http://x.test\",\"y\")", 62}, {"-2+3", -71}, {"@SUM(A1:A2)", 40}};
        for (int row = 1; row <= 3; ++row) {
            variables[cell(2, row)] = text("AP");
            variables[cell(3, row)] = number(row);
            variables[cell(4, row)] = number(rows[row - 1].rssi);
            variables[cell(5, row)] = QJsonObject{{"type", "macaddress"}, {"value", "00E0A611223" + QString::number(row)}};
            variables[cell(7, row)] = number(3);
            variables[cell(9, row)] = number(0);
            variables[cell(8, row)] = text(rows[row - 1].ssid);
        }
        return {"--state-in", WriteDeviceState(stateDir.filePath("neighbours.json"), variables)};
    }
    QTemporaryDir stateDir;
};

TEST_F(RogueWithChosenNames, TheApListExportsFormulaSsidsAsText)
{
    auto page = open();
    auto* known = child<QTreeWidget>(page.get(), "AP_ListView");
    ASSERT_EQ(column(known, 7), QStringList({"=HYPERLINK(\"http://x.test\",\"y\")", "-2+3", "@SUM(A1:A2)"}));
    const QStringList csv = ListAsCsv(known).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(csv.size(), 4) << csv.join("|").toStdString();
    EXPECT_TRUE(csv[1].startsWith("AP,1,62,")) << csv[1].toStdString();
    EXPECT_TRUE(csv[1].endsWith(",\"'=HYPERLINK(\"\"http://x.test\"\",\"\"y\"\")\"")) << csv[1].toStdString();
    EXPECT_TRUE(csv[2].startsWith("AP,2,-71,")) << csv[2].toStdString();  // a signal level stays a number
    EXPECT_TRUE(csv[2].endsWith(",'-2+3")) << csv[2].toStdString();
    EXPECT_TRUE(csv[3].endsWith(",'@SUM(A1:A2)")) << csv[3].toStdString();
    const QStringList copied = ListAsTabText(known).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(copied.size(), 4);
    EXPECT_TRUE(copied[1].endsWith("\t'=HYPERLINK(\"http://x.test\",\"y\")")) << copied[1].toStdString();
    EXPECT_TRUE(copied[2].contains("\t-71\t")) << copied[2].toStdString();
    EXPECT_TRUE(copied[2].endsWith("\t'-2+3")) << copied[2].toStdString();
    EXPECT_TRUE(page->close());
}
