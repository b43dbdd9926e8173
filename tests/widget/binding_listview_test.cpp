#include "support/SnmpLibrary.h"
#include "binding/ControlEvents.h"
#include "support/DialogRecorder.h"
#include "support/SilentAgent.h"
#include "binding/New_req2Edit.h"
#include "snmp/QvSNMPStartup.h"
#include "snmp/SnmpSettings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QHeaderView>
#include <QTimer>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* kZeros = "000000000000";

// The device keeps a fixed number of MAC rows; a free one holds twelve zeros.
const VariableDescriptor kMacTable[] = {
    {"1.3.6.1.4.1.32473.99.2.1.1", "No.", kSyntaxInteger, kAccessNotAccessible},
    {"1.3.6.1.4.1.32473.99.2.1.2", "MAC Address", kSyntaxMacAddress, kAccessReadWrite},
    {nullptr, nullptr, 0, 0},
};

const VariableDescriptor kMixedTable[] = {
    {"1.3.6.1.4.1.32473.99.3.1.1", "index", kSyntaxInteger, kAccessNotAccessible},
    {"1.3.6.1.4.1.32473.99.3.1.2", "secret", kSyntaxDisplayString, kAccessWriteOnly},
    {"1.3.6.1.4.1.32473.99.3.1.3", "name", kSyntaxDisplayString, kAccessReadOnly},
    {"1.3.6.1.4.1.32473.99.3.1.4", "internal", kSyntaxInteger, kAccessReadOnly | kAccessHidden},
    {"1.3.6.1.4.1.32473.99.3.1.5", "unused", kSyntaxInteger, kAccessInvalid},
    {"1.3.6.1.4.1.32473.99.3.1.6", "mode", kSyntaxInteger, kAccessReadWrite},
    {"1.3.6.1.4.1.32473.99.3.1.7", "derived", kSyntaxInteger, kAccessDerived},
    {nullptr, nullptr, 0, 0},
};

using Rows = std::vector<std::vector<std::string>>;

// Delivers rows as a table walk does: the step before the get, one arrival per row, the
// step after it. The exchange itself is another test's business.
template <typename Base>
class Walked : public Base {
public:
    using Base::Base;
    void Walk(const Rows& rows)
    {
        this->BeforeGet();
        for (const auto& row : rows) {
            for (size_t i = 0; i < row.size(); ++i)
                this->request.list.Item(static_cast<int32_t>(i)).value = row[i];
            this->ValuesArrived();
        }
        this->AfterGet();
    }
    // The same as an exchange runs it: busy throughout, ended by the binding's own end step.
    void WalkAsExchange(const Rows& rows)
    {
        this->Busy = true;
        this->BeforeGet();
        for (const auto& row : rows) {
            for (size_t i = 0; i < row.size(); ++i)
                this->request.list.Item(static_cast<int32_t>(i)).value = row[i];
            this->ValuesArrived();
        }
        this->GetEnded();
        this->AfterGet();
        this->Busy = false;
    }
};

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

QStringList rowTexts(const QTreeWidget& view, int row)
{
    QStringList texts;
    for (int c = 0; c < view.columnCount(); ++c)
        texts << view.topLevelItem(row)->text(c);
    return texts;
}

QStringList captions(const QTreeWidget& view)
{
    QStringList texts;
    for (int row = 0; row < view.topLevelItemCount(); ++row)
        texts << view.topLevelItem(row)->text(0);
    return texts;
}

class ListViewForm : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        StartSnmpLibraryOnce();
    }

    template <typename Binding>
    void prepare(Binding& binding, const VariableDescriptor* table, uint8_t kind = kListTable)
    {
        binding.request.list.Assign(QvSNMPVarList(table, kind, 1));
        binding.request.timeout = 1;
        binding.request.retries = 0;
        binding.RequestMode = QvSNMPRequest2Controls::kWaiting;
    }

    SilentAgent silent;  // an agent that never answers
    QWidget form;
    QTreeWidget view{&form};
    DialogRecorder recorder;
};

TEST_F(ListViewForm, ColumnsFollowTheItemsUnlessTheFormDesignedEnough)
{
    Walked<QvSNMPRequest2Edits> generated(&form);
    prepare(generated, kMixedTable);
    view.setHeaderLabels({"only one"});
    generated.BindListView(&view, false);
    // Hidden-column items first (write-only, hidden, invalid), then the shown ones.
    const QStringList names = {"secret", "internal", "unused", "index", "name", "mode", "derived"};
    ASSERT_EQ(view.columnCount(), names.size());
    for (int c = 0; c < names.size(); ++c) {
        EXPECT_EQ(view.headerItem()->text(c), names[c]);
        EXPECT_EQ(view.isColumnHidden(c), c < 3) << c;
    }
    generated.Walk({{"7", "pw", "lobby", "0", "0", "2", "9"}});
    ASSERT_EQ(view.topLevelItemCount(), 1);
    EXPECT_EQ(rowTexts(view, 0), QStringList({"pw", "0", "0", "7", "lobby", "2", "9"}));

    QTreeWidget designed(&form);
    designed.setHeaderLabels({"A", "B", "C", "D", "E", "F", "G"});
    designed.setColumnWidth(1, 77);
    Walked<QvSNMPRequest2Edits> keeping(&form);
    prepare(keeping, kMixedTable);
    keeping.BindListView(&designed, false);
    keeping.Walk({{"7", "pw", "lobby", "0", "0", "2", "9"}});
    EXPECT_EQ(designed.headerItem()->text(0), "A");
    EXPECT_EQ(designed.columnWidth(1), 77);
    EXPECT_FALSE(designed.isColumnHidden(0));
    EXPECT_EQ(designed.topLevelItemCount(), 1);
}

// Columns of addresses and times hold their widest value whole, in a list the binding builds
// and in one the form designed too narrow; a text column keeps the width of its caption.
TEST_F(ListViewForm, AddressAndTimeColumnsHoldTheirWidestValue)
{
    const VariableDescriptor table[] = {
        {"1.3.6.1.4.1.32473.99.4.1.1", "No.", kSyntaxInteger, kAccessNotAccessible},
        {"1.3.6.1.4.1.32473.99.4.1.2", "MAC", kSyntaxMacAddress, kAccessReadOnly},
        {"1.3.6.1.4.1.32473.99.4.1.3", "IP", kSyntaxIpAddress, kAccessReadOnly},
        {"1.3.6.1.4.1.32473.99.4.1.4", "Up", kSyntaxTimeTicks, kAccessReadOnly},
        {"1.3.6.1.4.1.32473.99.4.1.5", "Note", kSyntaxDisplayString, kAccessReadOnly},
        {nullptr, nullptr, 0, 0},
    };
    const Rows rows = {{"1", "DDDDDDDDDDDD", "255.255.255.255", "497 days, 2:27:52.95", "a note longer than Note"}};
    QTreeWidget designed(&form);
    designed.setHeaderLabels({"No.", "MAC", "IP", "Up", "Note"});
    for (int c = 0; c < 5; ++c)
        designed.setColumnWidth(c, 20);
    for (QTreeWidget* list : {&view, &designed}) {
        SCOPED_TRACE(list == &view ? "built" : "designed");
        Walked<QvSNMPRequest2Edits> binding(&form);
        prepare(binding, table);
        binding.BindListView(list, false);
        binding.Walk(rows);
        const QFontMetrics metrics = list->fontMetrics();
        for (int c = 1; c <= 3; ++c)
            EXPECT_GT(list->columnWidth(c), metrics.horizontalAdvance(list->topLevelItem(0)->text(c)) + 8) << c;
        const int caption = list->header()->fontMetrics().horizontalAdvance("Note");
        EXPECT_GT(list->columnWidth(4), caption);
        EXPECT_LT(list->columnWidth(4), metrics.horizontalAdvance("a note longer than Note"));
    }
}

TEST_F(ListViewForm, NumberedRowsLeaveOutFreeEntriesAndNumberOnAcrossGets)
{
    Walked<New_req2Edit> numbered(&form);
    prepare(numbered, kMacTable);
    numbered.EmptyRowValue = kZeros;
    numbered.BindListView(&view, false);
    const Rows table = {{"1", kZeros},          {"2", "00E0A6310524"}, {"3", kZeros},
                        {"4", "001122334455"}, {"5", "AABBCCDDEEFF"}, {"6", kZeros}};
    numbered.Walk(table);
    EXPECT_EQ(captions(view), QStringList({"1", "2", "3"}));
    EXPECT_EQ(rowTexts(view, 1), QStringList({"2", "001122334455"}));

    numbered.Walk(table);  // the page did not reset RowNumber
    EXPECT_EQ(captions(view), QStringList({"4", "5", "6"}));

    numbered.RowNumber = 1;
    numbered.Walk(table);
    EXPECT_EQ(captions(view), QStringList({"1", "2", "3"}));
}

TEST_F(ListViewForm, SelectingARowShowsItsCellsInTheBoundControls)
{
    Walked<QvSNMPRequest2Edits> table(&form);
    prepare(table, kMacTable);
    QLabel index(&form);
    QLineEdit mac(&form);
    table.BindControl(0, &index);
    table.BindEdit(1, &mac, "%h");
    std::vector<std::pair<QString, bool>> seen;
    ListViewEvents::Of(&view).OnSelectItem = [&](QTreeWidget*, QTreeWidgetItem* item, bool selected) {
        seen.emplace_back(item->text(0), selected);
    };
    table.BindListView(&view, false);
    table.Walk({{"1", kZeros}, {"2", "00E0A6310524"}, {"3", "001122334455"}});

    view.setCurrentItem(view.topLevelItem(1));
    EXPECT_EQ(index.text(), "2");
    EXPECT_EQ(mac.text(), "00E0A6310524");

    view.setCurrentItem(view.topLevelItem(2));  // row 2 lets go first
    EXPECT_EQ(mac.text(), "001122334455");
    mac.setText("ABCDEF");
    view.clearSelection();
    EXPECT_EQ(mac.text(), "ABCDEF") << "deselecting changes nothing";
    const std::vector<std::pair<QString, bool>> expected = {{"2", true}, {"2", false}, {"3", true}, {"3", false}};
    EXPECT_EQ(seen, expected) << "the form's own handler runs first, for both directions";
}

TEST_F(ListViewForm, APageHandlerInstalledAfterBindingRunsAndSoDoesTheBindings)
{
    Walked<QvSNMPRequest2Edits> table(&form);
    prepare(table, kMacTable);
    QLineEdit mac(&form);
    table.BindEdit(1, &mac, "%h");
    table.BindListView(&view, false);
    std::vector<QString> seenByPage;
    ListViewEvents::Of(&view).OnSelectItem = [&](QTreeWidget*, QTreeWidgetItem* item, bool selected) {
        if (selected)
            seenByPage.push_back(item->text(0));
        EXPECT_NE(mac.text(), item->text(1)) << "the page's handler runs before the binding copies the row";
    };
    table.Walk({{"1", "00E0A6310524"}, {"2", "001122334455"}});
    view.setCurrentItem(view.topLevelItem(1));
    EXPECT_EQ(mac.text(), "001122334455") << "the binding's handling still runs";
    EXPECT_EQ(seenByPage, std::vector<QString>{"2"});
}

TEST_F(ListViewForm, ALongWalkKeepsTheWindowAliveButPaintsTheListAtScreenRate)
{
    Walked<New_req2Edit> numbered(&form);
    prepare(numbered, kMacTable);
    numbered.EmptyRowValue = kZeros;
    numbered.BindListView(&view, false);
    form.resize(300, 200);
    view.resize(300, 200);
    form.show();
    QCoreApplication::processEvents();
    PaintCounter counter(view.viewport());
    int timerTicks = 0;
    QTimer ticking;
    QObject::connect(&ticking, &QTimer::timeout, [&] { ++timerTicks; });
    ticking.start(0);

    Rows rows;
    for (int i = 1; i <= 3000; ++i)
        rows.push_back({std::to_string(i), i == 7 ? kZeros : "00E0A6" + std::to_string(100000 + i)});
    QElapsedTimer clock;
    clock.start();
    numbered.WalkAsExchange(rows);
    const qint64 elapsed = clock.elapsed();

    ASSERT_EQ(view.topLevelItemCount(), 2999) << "every row but the empty one, in order";
    EXPECT_EQ(view.topLevelItem(0)->text(0), "1");
    EXPECT_EQ(view.topLevelItem(2998)->text(0), "2999");
    EXPECT_GT(timerTicks, 1000) << "timers were served after each row";
    // At most one paint per 16 ms frame (and a few more for the first row and the end).
    EXPECT_LE(counter.paints, elapsed / 16 + 5) << counter.paints << " paints in " << elapsed << " ms";
}

TEST_F(ListViewForm, ARowOfANumberedListGivesItsNumberToTheFirstItem)
{
    Walked<New_req2Edit> numbered(&form);
    prepare(numbered, kMacTable);
    numbered.EmptyRowValue = kZeros;
    QLabel index(&form);
    numbered.BindControl(0, &index);
    numbered.BindListView(&view, false);
    numbered.Walk({{"1", kZeros}, {"5", "00E0A6310524"}});
    view.setCurrentItem(view.topLevelItem(0));
    EXPECT_EQ(index.text(), "1");
    EXPECT_EQ(numbered.request.list.Item(0).value, "1");
}

TEST_F(ListViewForm, BoundControlsWaitForASelectionOnlyOverAFixedTable)
{
    struct Case {
        uint8_t kind;
        bool disableUntilSelected;
        bool enabledAfterGet;
    };
    const Case cases[] = {
        {kListTable, true, false},
        {kListTable, false, true},
        {kListTableUnlisted, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.kind) + (c.disableUntilSelected ? " disabled until selected" : ""));
        QTreeWidget list(&form);
        Walked<QvSNMPRequest2Edits> table(&form);
        prepare(table, kMacTable, c.kind);
        QLabel index(&form);
        QLineEdit mac(&form);
        table.BindControl(0, &index);
        table.BindEdit(1, &mac, "%h");
        table.BindListView(&list, c.disableUntilSelected);
        table.Walk({{"1", "00E0A6310524"}, {"2", kZeros}});
        EXPECT_EQ(mac.isEnabled(), c.enabledAfterGet);
        EXPECT_EQ(index.isEnabled(), c.enabledAfterGet);
        list.setCurrentItem(list.topLevelItem(1));
        EXPECT_TRUE(mac.isEnabled());
        EXPECT_TRUE(index.isEnabled());
    }
}

TEST_F(ListViewForm, ASetTakesTheSelectedRowForItemsNoControlSupplies)
{
    const VariableDescriptor entries[] = {
        {"1.3.6.1.4.1.32473.99.4.1.1", "index", kSyntaxInteger, kAccessNotAccessible},
        {"1.3.6.1.4.1.32473.99.4.1.2", "comment", kSyntaxDisplayString, kAccessReadWrite},
        {"1.3.6.1.4.1.32473.99.4.1.3", "MAC", kSyntaxMacAddress, kAccessReadWrite},
        {nullptr, nullptr, 0, 0},
    };
    Walked<QvSNMPRequest2Edits> table(&form);
    prepare(table, entries);
    QLineEdit mac(&form);
    table.BindEdit(2, &mac, "%h");
    table.BindListView(&view, false);
    table.Walk({{"1", "hall", "00E0A6310524"}, {"2", "lobby", "001122334455"}});
    view.setCurrentItem(view.topLevelItem(1));
    mac.setText("a1b2c3d4e5f6");

    EXPECT_FALSE(table.Set(false, true));  // nobody answers; the collected values stay
    const QvSNMPVarList& list = table.request.list;
    EXPECT_EQ(list.Item(0).value, "2");
    EXPECT_EQ(list.Item(1).value, "lobby");
    EXPECT_EQ(list.Item(2).value, "A1B2C3D4E5F6");

    // Without a selected row an item no control supplies goes out empty.
    view.clearSelection();
    EXPECT_FALSE(table.Set(false, true));
    EXPECT_EQ(list.Item(1).value, "");
}

} // namespace
