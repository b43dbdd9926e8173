// Every report list offers Copy and Save as CSV. The CSV is read back by Python's csv module,
// a reader nobody here wrote.
#include "binding/Controls.h"
#include "binding/ListExport.h"
#include "binding/ListFind.h"
#include "support/DialogRecorder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// A list as the pages make one: captions, a hidden index column, values with the characters
// CSV must quote.
class ExportedList : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetReportStyle(&list);
        list.setColumnCount(0);
        AddListColumn(&list, "Index", 0);
        AddListColumn(&list, "Client MAC Address", 90);
        AddListColumn(&list, "Note", 90);
        list.addTopLevelItem(new QTreeWidgetItem(QStringList{"7", "00E0A6112233", "lobby, first floor"}));
        list.addTopLevelItem(new QTreeWidgetItem(QStringList{"8", "00E0A6445566", "says \"hi\"\nand more"}));
    }
    // The rows of a CSV file as Python's csv module reads them.
    static QJsonArray readByPython(const QString& path)
    {
        QProcess python;
        python.start("python3", {"-c",
                                 "import csv, json, sys\n"
                                 "print(json.dumps(list(csv.reader(open(sys.argv[1], newline='', encoding='utf-8')))))",
                                 path});
        EXPECT_TRUE(python.waitForFinished(10000));
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    }

    QTreeWidget list;
    DialogRecorder recorder;
    QTemporaryDir folder;
};

TEST_F(ExportedList, SavedCsvReadsBackAsShownUnderItsCaptions)
{
    EXPECT_EQ(list.contextMenuPolicy(), Qt::CustomContextMenu);
    const QString path = folder.filePath("clients.csv");
    recorder.paths.push_back(path);
    SaveListAsCsv(&list);
    ASSERT_EQ(recorder.files.size(), 1u);
    EXPECT_EQ(recorder.files[0].kind, FileRequest::Save);
    const QJsonArray rows = readByPython(path);
    const QJsonArray expected{QJsonArray{"Client MAC Address", "Note"},
                              QJsonArray{"00E0A6112233", "lobby, first floor"},
                              QJsonArray{"00E0A6445566", "says \"hi\"\nand more"}};
    EXPECT_EQ(rows, expected) << QJsonDocument(rows).toJson().toStdString();
    EXPECT_TRUE(ListAsCsv(&list).endsWith("\r\n"));
}

TEST_F(ExportedList, CopyTakesTheSelectedRowsOrAll)
{
    EXPECT_EQ(ListAsTabText(&list), "Client MAC Address\tNote\n00E0A6112233\tlobby, first floor\n00E0A6445566\tsays \"hi\" and more\n");
    list.topLevelItem(1)->setSelected(true);
    EXPECT_EQ(ListAsTabText(&list), "Client MAC Address\tNote\n00E0A6445566\tsays \"hi\" and more\n");
}

TEST_F(ExportedList, AFileThatCannotBeWrittenIsTold)
{
    recorder.paths.push_back(folder.filePath("missing/clients.csv"));
    SaveListAsCsv(&list);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_TRUE(recorder.messages[0].text.startsWith("The list could not be saved to ")) << recorder.texts()[0].toStdString();

    // A cancelled dialog writes nothing.
    recorder.messages.clear();
    SaveListAsCsv(&list);
    EXPECT_TRUE(recorder.messages.empty());
}

// A find box hides the rows without its text; the exports then hold the rows as shown.
TEST_F(ExportedList, FindShowsRowsHoldingTheTextInAShownColumnAndExportsOnlyThose)
{
    list.addTopLevelItem(new QTreeWidgetItem(QStringList{"9", "00E0A6778899", "lobby"}));
    struct Case {
        QString text;
        QStringList shown;  // the MAC addresses of the rows shown
    } const cases[] = {
        {"", {"00E0A6112233", "00E0A6445566", "00E0A6778899"}},
        {"LOBBY", {"00E0A6112233", "00E0A6778899"}},    // any case
        {"a6445", {"00E0A6445566"}},                    // the first shown column
        {"\"HI\"\nAND", {"00E0A6445566"}},               // a value across its line break
        {"8", {"00E0A6778899"}},                        // not the hidden index column
        {"nowhere", {}},
    };
    QLineEdit find;
    FilterListAsYouType(&find, &list);
    for (const Case& c : cases) {
        find.setText(c.text);
        QStringList shown;
        for (int i = 0; i < list.topLevelItemCount(); ++i)
            if (!list.topLevelItem(i)->isHidden())
                shown << list.topLevelItem(i)->text(1);
        EXPECT_EQ(shown, c.shown) << c.text.toStdString();
    }

    // A row added later obeys the text in the box.
    find.setText("lobby");
    list.addTopLevelItem(new QTreeWidgetItem(QStringList{"10", "00E0A6AABBCC", "hall"}));
    EXPECT_TRUE(list.topLevelItem(3)->isHidden());
    list.addTopLevelItem(new QTreeWidgetItem(QStringList{"11", "00E0A6DDEEFF", "Lobby door"}));
    EXPECT_FALSE(list.topLevelItem(4)->isHidden());

    // Save and Copy take the shown rows only; a selected row out of sight is not copied.
    EXPECT_EQ(ListAsCsv(&list), "Client MAC Address,Note\r\n00E0A6112233,\"lobby, first floor\"\r\n"
                                "00E0A6778899,lobby\r\n00E0A6DDEEFF,Lobby door\r\n");
    list.topLevelItem(1)->setSelected(true);
    EXPECT_EQ(ListAsTabText(&list),
              "Client MAC Address\tNote\n00E0A6112233\tlobby, first floor\n00E0A6778899\tlobby\n00E0A6DDEEFF\tLobby door\n");
}

// A cell that a spreadsheet would take for a formula (an SSID anyone nearby chooses) leaves as
// text: a leading apostrophe, in both exports. A cell that is wholly a number stays a number.
TEST(ListExportCells, FormulasLeaveAsTextAndNumbersAsNumbers)
{
    struct Case {
        QString cell;
        QString csv;   // the field in the CSV file
        QString copy;  // the field on the clipboard
    } const cases[] = {
        {"=HYPERLINK(\"http://x.test\",\"y\")", "\"'=HYPERLINK(\"\"http://x.test\"\",\"\"y\"\")\"",
         "'=HYPERLINK(\"http://x.test\",\"y\")"},
        {"+41-cmd", "'+41-cmd", "'+41-cmd"},
        {"-2+3", "'-2+3", "'-2+3"},
        {"@SUM(A1:A2)", "'@SUM(A1:A2)", "'@SUM(A1:A2)"},
        {"\t=1+1", "'\t=1+1", "' =1+1"},
        {"\r=1+1", "\"'\r=1+1\"", "' =1+1"},
        {"=1,2", "\"'=1,2\"", "'=1,2"},
        {"-", "'-", "'-"},
        {"-5 dBm", "'-5 dBm", "'-5 dBm"},
        // Wholly numbers: a signal level, a count with its sign, a fraction, an exponent.
        {"-71", "-71", "-71"},
        {"+41", "+41", "+41"},
        {"-0.5", "-0.5", "-0.5"},
        {"-1e3", "-1e3", "-1e3"},
        // Nothing a spreadsheet evaluates.
        {"a=b", "a=b", "a=b"},
        {" =1", " =1", " =1"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell.toStdString());
        QTreeWidget list;
        SetReportStyle(&list);
        list.setColumnCount(0);
        AddListColumn(&list, "SSID", 90);
        list.addTopLevelItem(new QTreeWidgetItem(QStringList{c.cell}));
        EXPECT_EQ(ListAsCsv(&list), "SSID\r\n" + c.csv + "\r\n");
        EXPECT_EQ(ListAsTabText(&list), "SSID\n" + c.copy + "\n");
    }
}

// The neutralised cells still read back whole, beside the quotes, commas and line breaks.
TEST_F(ExportedList, FormulasReadBackAsTextBesideQuotedFields)
{
    list.addTopLevelItem(new QTreeWidgetItem(QStringList{"9", "=HYPERLINK(\"http://x.test\",\"y\")", "-2+3\nnext"}));
    list.addTopLevelItem(new QTreeWidgetItem(QStringList{"10", "-71", "@SUM(A1:A2)"}));
    const QString path = folder.filePath("list.csv");
    recorder.paths.push_back(path);
    SaveListAsCsv(&list);
    const QJsonArray rows = readByPython(path);
    const QJsonArray expected{QJsonArray{"Client MAC Address", "Note"},
                              QJsonArray{"00E0A6112233", "lobby, first floor"},
                              QJsonArray{"00E0A6445566", "says \"hi\"\nand more"},
                              QJsonArray{"'=HYPERLINK(\"http://x.test\",\"y\")", "'-2+3\nnext"},
                              QJsonArray{"-71", "'@SUM(A1:A2)"}};
    EXPECT_EQ(rows, expected) << QJsonDocument(rows).toJson().toStdString();
}

} // namespace
