#include "support/SnmpLibrary.h"
#include "support/DialogRecorder.h"
#include "support/SilentAgent.h"
#include "binding/FormScale.h"
#include "pages/home/InformationPage.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "snmp/QvSNMPStartup.h"
#include "snmp/SnmpSettings.h"
#include "configform/TConfigForm.h"
#include "configform/TCtrlBtnPanel.h"
#include "configform/TEditsPanel.h"
#include "configform/TMsgPanel.h"
#include "configform/TSNMPPanel.h"

#include "binding/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The configuration form on real widgets, against an agent that never answers.
namespace {

const OptionRow kSwitchRows[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const QvOptionList kSwitch(kSwitchRows);

#define TEST_ROOT "1.3.6.1.4.1.32473.99."

void runFor(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool runUntil(const std::function<bool()>& done, int milliseconds = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

class ConfigForm : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        StartSnmpLibraryOnce();
    }

    void SetUp() override
    {
        // No bitmaps lie in the folder the buttons look in, unless a test puts them there.
        previousFolder = QDir::currentPath();
        QDir::setCurrent(folder.path());
    }

    void TearDown() override { QDir::setCurrent(previousFolder); }

    // A form over a list built from table, its requests short so a silent agent costs little.
    TSNMPEditorPanel* makeForm(const VariableDescriptor* table, uint8_t kind = kListScalars, int32_t keys = 0)
    {
        form = std::make_unique<TConfigForm>();
        auto edits = std::make_unique<QvSNMPRequest2Edits>(form.get());
        edits->request.list.Assign(QvSNMPVarList(table, kind, keys));
        edits->request.timeout = 20;
        edits->request.retries = 0;
        binding = edits.get();
        return form->AddEditorPanel(std::move(edits));
    }

    int datagramsReceived() { return silent.datagramsReceived(); }

    SilentAgent silent;
    QTemporaryDir folder;
    QString previousFolder;
    DialogRecorder recorder;
    std::unique_ptr<TConfigForm> form;
    QvSNMPRequest2Edits* binding = nullptr;
};

const VariableDescriptor kEveryKind[] = {
    {TEST_ROOT "1", "Read-only text", kSyntaxDisplayString, kAccessReadOnly},
    {TEST_ROOT "2", "Writable text", kSyntaxDisplayString, kAccessReadWrite},
    {TEST_ROOT "3", "Writable switch", kSyntaxInteger, kAccessReadWrite, &kSwitch},
    {TEST_ROOT "4", "Read-only switch", kSyntaxInteger, kAccessReadOnly, &kSwitch},
    {TEST_ROOT "5", "Hidden", kSyntaxDisplayString, kAccessReadWrite | kAccessHidden},
    {TEST_ROOT "6", "A rather longer name", kSyntaxInteger, kAccessReadWrite},
    {nullptr, nullptr, 0, 0},
};

TEST_F(ConfigForm, RowsFollowTheAccessAndOptionListOfTheirItems)
{
    TSNMPEditorPanel* panel = makeForm(kEveryKind);
    const std::vector<TEditsPanel::Row>& rows = panel->EditsPanel->Rows();
    ASSERT_EQ(rows.size(), 6u);

    struct Expected {
        int kind;
        bool combo;
        bool readOnly;
    };
    const Expected expected[] = {
        {TEditsPanel::kReadOnlyEdit, false, true},        {TEditsPanel::kWritableEdit, false, false},
        {TEditsPanel::kWritableCombo, true, false},       {TEditsPanel::kReadOnlyOptionEdit, false, true},
        {TEditsPanel::kWritableEdit, false, false},       {TEditsPanel::kWritableEdit, false, false},
    };
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        const TEditsPanel::Row& row = rows[i];
        EXPECT_EQ(row.kind, expected[i].kind);
        EXPECT_EQ(row.readOnly, expected[i].readOnly);
        EXPECT_EQ(row.label->text().toStdString(), kEveryKind[i].name);
        EXPECT_EQ(Tag(row.valueControl), static_cast<int>(i));
        auto* edit = qobject_cast<QLineEdit*>(row.valueControl);
        auto* combo = qobject_cast<QComboBox*>(row.valueControl);
        ASSERT_EQ(combo != nullptr, expected[i].combo);
        if (combo) {
            EXPECT_EQ(combo->count(), 2);  // the option list's display texts
            EXPECT_TRUE(combo->isEnabled());
        } else {
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(edit->isReadOnly(), expected[i].readOnly);
            EXPECT_EQ(MaxLength(edit), expected[i].readOnly ? 0 : 39);
            EXPECT_EQ(edit->palette().color(QPalette::Base), expected[i].readOnly ? buttonFace : QColor(Qt::white));
            EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(Qt::black));
            EXPECT_EQ(edit->focusPolicy() == Qt::StrongFocus, !expected[i].readOnly) << "tab order";
        }
        if (i == 4)
            continue;  // the hidden item, below
        EXPECT_EQ(row.checkBox->isEnabled(), !expected[i].readOnly);
        EXPECT_EQ(row.checkBox->isHidden(), expected[i].readOnly);
        EXPECT_FALSE(row.checkBox->isChecked());
    }

    // The hidden item takes no place and can never be picked for a set.
    EXPECT_TRUE(rows[4].valueControl->isHidden());
    EXPECT_TRUE(rows[4].label->isHidden());
    EXPECT_FALSE(rows[4].checkBox->isEnabled());

    // Layout: rows from top 20, 5 pixels apart; boxes at 20, names 5 to their right, values
    // 5 to the right of the widest name; name and box centred on the value. The pixels are
    // designed ones, scaled by the font as forms are.
    const FormScale s = FormScale::ForFont(panel->EditsPanel->font());
    int widest = 0;
    for (size_t i : {0u, 1u, 2u, 3u, 5u})
        widest = std::max(widest, rows[i].label->width());
    int top = s.Y(20);
    for (size_t i : {0u, 1u, 2u, 3u, 5u}) {
        SCOPED_TRACE(i);
        const QRect value = rows[i].valueControl->geometry();
        EXPECT_EQ(value.top(), top);
        EXPECT_EQ(value.left(), s.X(20) + s.X(20) + s.X(5) + widest + s.X(5));
        EXPECT_EQ(value.width(), s.X(TEditsPanel::kDefaultEditWidth));
        EXPECT_GE(value.height(), s.Y(20));
        EXPECT_EQ(rows[i].checkBox->x(), s.X(20));
        EXPECT_EQ(rows[i].checkBox->width(), s.X(20));
        EXPECT_EQ(rows[i].label->x(), s.X(20) + s.X(20) + s.X(5));
        EXPECT_LE(std::abs(rows[i].label->geometry().center().y() - value.center().y()), 1);
        EXPECT_LE(std::abs(rows[i].checkBox->geometry().center().y() - value.center().y()), 1);
        top = value.bottom() + 1 + s.Y(5);
    }
    const QRect last = rows[5].valueControl->geometry();
    EXPECT_EQ(panel->EditsPanel->ContentSize(), QSize(last.right() + 1 + s.X(40), last.bottom() + 1 + s.Y(40)));
}

TEST_F(ConfigForm, KeysOfATableListAreShownReadOnly)
{
    const VariableDescriptor table[] = {
        {TEST_ROOT "7.1.1", "Index", kSyntaxInteger, kAccessReadWrite},
        {TEST_ROOT "7.1.2", "Value", kSyntaxInteger, kAccessReadWrite},
        {nullptr, nullptr, 0, 0},
    };
    TSNMPEditorPanel* panel = makeForm(table, kListTable, 1);
    const auto& rows = panel->EditsPanel->Rows();
    EXPECT_EQ(rows[0].kind, TEditsPanel::kWritableEdit);
    EXPECT_TRUE(rows[0].readOnly);
    EXPECT_TRUE(qobject_cast<QLineEdit*>(rows[0].valueControl)->isReadOnly());
    EXPECT_FALSE(rows[0].checkBox->isEnabled());
    EXPECT_FALSE(rows[1].readOnly);
}

TEST_F(ConfigForm, TheButtonColumnFollowsHowManyItemsAreWritable)
{
    const VariableDescriptor none[] = {
        {TEST_ROOT "1", "a", kSyntaxDisplayString, kAccessReadOnly},
        {TEST_ROOT "2", "b", kSyntaxDisplayString, kAccessReadOnly},
        {nullptr, nullptr, 0, 0},
    };
    const VariableDescriptor one[] = {
        {TEST_ROOT "1", "a", kSyntaxDisplayString, kAccessReadOnly},
        {TEST_ROOT "2", "b", kSyntaxDisplayString, kAccessReadWrite},
        {nullptr, nullptr, 0, 0},
    };
    const VariableDescriptor two[] = {
        {TEST_ROOT "1", "a", kSyntaxDisplayString, kAccessReadWrite},
        {TEST_ROOT "2", "b", kSyntaxDisplayString, kAccessReadWrite},
        {nullptr, nullptr, 0, 0},
    };
    struct Case {
        const char* name;
        const VariableDescriptor* table;
        QStringList shown;        // captions top to bottom
        bool setEnabled;
        QList<bool> boxesShown;
        QList<bool> boxesTicked;
    };
    const Case cases[] = {
        {"nothing writable", none, {"Refresh", "Close"}, false, {false, false}, {false, false}},
        {"one writable item: a plain Set of it", one, {"Refresh", "Set", "Close"}, true, {false, false}, {false, true}},
        {"two writable items", two, {"Refresh", "Set Checked", "Check All", "Clear Checks", "Close"}, false,
         {true, true}, {false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TSNMPEditorPanel* panel = makeForm(c.table);
        TCtrlBtnPanel& buttons = *panel->CtrlBtnPanel;
        EXPECT_TRUE(buttons.ST_Counter->isHidden());
        EXPECT_TRUE(buttons.La_Samples->isHidden());
        QStringList shown;
        const FormScale s = FormScale::ForFont(buttons.font());  // designed pixels follow the font
        int top = s.Y(10);
        for (QPushButton* button : buttons.Buttons()) {
            if (button->isHidden())
                continue;
            shown << button->text();
            EXPECT_EQ(button->geometry(), QRect(s.X(10), top, s.X(96), s.Y(TCtrlBtnPanel::kButtonHeight)))
                << button->text().toStdString();
            top += s.Y(TCtrlBtnPanel::kButtonHeight) + s.Y(5);
        }
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(buttons.ColumnHeight(), top - s.Y(5) + s.Y(10));
        if (!buttons.Bt_SetChecked->isHidden()) {
            EXPECT_EQ(buttons.Bt_SetChecked->isEnabled(), c.setEnabled);
        }
        const auto& rows = panel->EditsPanel->Rows();
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(!rows[i].checkBox->isHidden(), c.boxesShown[i]) << i;
            EXPECT_EQ(rows[i].checkBox->isChecked(), c.boxesTicked[i]) << i;
        }
    }
}

TEST_F(ConfigForm, AFormTakesOnePanelAndNeedsABinding)
{
    makeForm(kEveryKind);
    TSNMPPanel* first = form->Panel();
    auto second = std::make_unique<QvSNMPRequest2Edits>(form.get());
    second->request.list.Assign(QvSNMPVarList(kEveryKind, kListScalars, 0));
    try {
        form->AddEditorPanel(std::move(second));
        FAIL() << "a second panel was accepted";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "Can not change Type of a Config Form!");
    }
    EXPECT_EQ(form->FormType(), TConfigForm::kEditor);
    EXPECT_EQ(form->Panel(), first);
    EXPECT_EQ(form->Bindings().All().size(), 1u);
    EXPECT_EQ(form->findChildren<TSNMPPanel*>().size(), 1);

    TConfigForm empty;
    try {
        empty.AddEditorPanel(nullptr);
        FAIL() << "a panel without binding was built";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "TEditsPanel:ArrangeCtrlBtn - EditCtrl is NULL!");
    }
    EXPECT_EQ(empty.FormType(), TConfigForm::kEmpty);
    EXPECT_TRUE(empty.findChildren<TSNMPPanel*>().isEmpty());
    EXPECT_TRUE(empty.Bindings().Empty());
}

TEST_F(ConfigForm, ButtonsShowTheirBitmapsWhenTheCurrentFolderHasThem)
{
    const QStringList captions = {"Refresh", "Edit", "Set Checked", "Add", "Delete", "Check All", "Clear Checks", "Close"};
    const QStringList files = {"Get.bmp", "Set.bmp", "SetCheck.bmp", "Add.bmp", "Delete.bmp", "SelectAll.bmp",
                               "SelectNone.bmp", "Close.bmp"};
    {
        TCtrlBtnPanel bare;
        QStringList texts;
        for (QPushButton* button : bare.Buttons()) {
            texts << button->text();
            EXPECT_TRUE(button->icon().isNull());
        }
        EXPECT_EQ(texts, captions);
    }

    QImage glyph(16, 16, QImage::Format_RGB32);
    glyph.fill(Qt::darkGreen);
    for (const QString& file : files)
        ASSERT_TRUE(glyph.save(QDir::current().filePath(file), "BMP"));
    // A file that is no bitmap leaves its button as it was.
    QFile broken(QDir::current().filePath("Close.bmp"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("not a bitmap");
    broken.close();

    TCtrlBtnPanel withGlyphs;
    const QList<QPushButton*> buttons = withGlyphs.Buttons();
    for (int i = 0; i < buttons.size() - 1; ++i) {
        SCOPED_TRACE(captions[i].toStdString());
        EXPECT_TRUE(buttons[i]->text().isEmpty());
        EXPECT_FALSE(buttons[i]->icon().isNull());
    }
    EXPECT_EQ(withGlyphs.Bt_Close->text(), "Close");
    EXPECT_TRUE(withGlyphs.Bt_Close->icon().isNull());
}

TEST_F(ConfigForm, TheFormGrowsToItsPanelUpToTheLimit)
{
    TSNMPEditorPanel* panel = makeForm(kEveryKind);
    const QSize content = panel->EditsPanel->ContentSize();
    const QSize wanted(content.width() + panel->CtrlBtnPanel->ColumnWidth() + 3 + 3,
                       std::max(content.height() + TMsgPanel::kHeight + 3, panel->CtrlBtnPanel->ColumnHeight()));
    EXPECT_EQ(panel->PanelSize(), wanted);
    EXPECT_EQ(form->size(), wanted);

    // Widths and the form's limit are designed pixels, scaled by the font.
    const FormScale s = FormScale::ForFont(form->font());
    form->SetEditWidth(panel, 200);
    for (const auto& row : panel->EditsPanel->Rows())
        EXPECT_EQ(row.valueControl->width(), s.X(200));
    EXPECT_EQ(form->width(), wanted.width() + s.X(200) - s.X(TEditsPanel::kDefaultEditWidth));

    // Far too wide and, with sixty rows, far too high: the form stops at 800 x 550 and the
    // rows scroll.
    std::vector<VariableDescriptor> many;
    std::vector<std::string> oids;
    for (int i = 0; i < 60; ++i)
        oids.push_back(TEST_ROOT + std::to_string(i + 1));
    for (int i = 0; i < 60; ++i)
        many.push_back({oids[i].c_str(), "item", kSyntaxDisplayString, kAccessReadWrite});
    many.push_back({nullptr, nullptr, 0, 0});
    panel = makeForm(many.data());
    form->SetEditWidth(panel, 900);
    EXPECT_EQ(form->size(), s.Size(QSize(800, 550)));
    form->show();
    QCoreApplication::processEvents();
    auto* scrollBox = panel->EditsPanel->findChild<QScrollArea*>();
    EXPECT_GT(scrollBox->verticalScrollBar()->maximum(), 0);
    EXPECT_GT(scrollBox->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(panel->CtrlBtnPanel->width(), panel->CtrlBtnPanel->ColumnWidth());
    EXPECT_EQ(panel->MsgPanel->height(), TMsgPanel::kHeight);
}

// The page the main window opens, without a device behind it.
TEST_F(ConfigForm, TheInformationPageTicksBeforeItSets)
{
    std::unique_ptr<QDialog> page(NewInformationPage(nullptr));
    auto* information = qobject_cast<TConfigForm*>(page.get());
    ASSERT_NE(information, nullptr);
    EXPECT_EQ(page->windowTitle(), "Home \\ Information");
    auto* panel = static_cast<TSNMPEditorPanel*>(information->Panel());
    const auto& rows = panel->EditsPanel->Rows();
    const QStringList names = {"System Description", "System Object ID", "System Uptime",
                               "System Contact",     "System Name",      "System Location"};
    ASSERT_EQ(rows.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].label->text(), names[i]);
        EXPECT_EQ(rows[i].readOnly, i < 3);
        EXPECT_EQ(rows[i].checkBox->isHidden(), i < 3);
        EXPECT_EQ(rows[i].valueControl->width(), FormScale::ForFont(page->font()).X(180));
    }
    EXPECT_EQ(information->Bindings().All().front()->RequestMode, QvSNMPRequest2Controls::kNotifying);
    EXPECT_TRUE(information->Bindings().All().front()->Busy) << "the page reads as soon as it is made";

    TCtrlBtnPanel& buttons = *panel->CtrlBtnPanel;
    EXPECT_EQ(buttons.Bt_SetChecked->text(), "Set Checked");
    EXPECT_FALSE(buttons.Bt_SetChecked->isEnabled());
    rows[4].checkBox->click();
    EXPECT_TRUE(buttons.Bt_SetChecked->isEnabled());
    rows[4].checkBox->click();
    EXPECT_FALSE(buttons.Bt_SetChecked->isEnabled());
    buttons.Bt_CheckAll->click();
    EXPECT_EQ(panel->EditsPanel->TickedCount(), 3);
    EXPECT_TRUE(buttons.Bt_SetChecked->isEnabled());
    buttons.Bt_ClearChecks->click();
    EXPECT_EQ(panel->EditsPanel->TickedCount(), 0);
    EXPECT_FALSE(buttons.Bt_SetChecked->isEnabled());

    // The contact takes 39 typed characters; a longer text the device holds still shows whole.
    auto* contact = qobject_cast<QLineEdit*>(rows[3].valueControl);
    QTest::keyClicks(contact, QString(45, 'c'));
    EXPECT_EQ(contact->text(), QString(39, 'c'));
    contact->setText(QString(60, 'd'));
    EXPECT_EQ(contact->text().size(), 60);
}

TEST_F(ConfigForm, TheFormReadsOnceItsEventLoopRunsAndWaitsForItsExchangesWhenItCloses)
{
    TSNMPEditorPanel* panel = makeForm(kEveryKind);
    binding->request.timeout = 50;
    EXPECT_EQ(form->ActiveBinding(), nullptr);
    EXPECT_FALSE(binding->Busy);
    EXPECT_EQ(datagramsReceived(), 0);

    form->show();
    ASSERT_TRUE(runUntil([&] { return binding->Busy; }));
    EXPECT_EQ(form->ActiveBinding(), binding);
    int sent = 0;
    EXPECT_TRUE(runUntil([&] { return (sent += datagramsReceived()) > 0; }));

    // Closing while the get is out waits for its time-out, then the bindings are gone and
    // the buttons do nothing.
    panel->CtrlBtnPanel->Bt_Close->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(form->Bindings().Empty());
    EXPECT_EQ(form->ActiveBinding(), nullptr);
    EXPECT_EQ(panel->Binding(), nullptr);
    panel->CtrlBtnPanel->Bt_Refresh->click();
    EXPECT_EQ(datagramsReceived(), 0);
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("\n").toStdString();
}

TEST_F(ConfigForm, SetCheckedPutsTheListBackHoweverItEnds)
{
    const VariableDescriptor table[] = {
        {TEST_ROOT "1", "Read-only", kSyntaxDisplayString, kAccessReadOnly},
        {TEST_ROOT "2", "First", kSyntaxDisplayString, kAccessReadWrite},
        {TEST_ROOT "3", "Second", kSyntaxDisplayString, kAccessReadWrite},
        {TEST_ROOT "4", "Left out by the page", kSyntaxDisplayString, kAccessReadWrite | kAccessInvalid},
        {nullptr, nullptr, 0, 0},
    };
    TSNMPEditorPanel* panel = makeForm(table);
    const auto& rows = panel->EditsPanel->Rows();
    TCtrlBtnPanel& buttons = *panel->CtrlBtnPanel;
    auto accessCodes = [&] {
        std::vector<int32_t> codes;
        for (int i = 0; i < binding->request.list.Count(); ++i)
            codes.push_back(binding->request.list.Item(i).access);
        return codes;
    };
    const std::vector<int32_t> before = accessCodes();
    // The form's own first read runs out first, so every datagram after it is the set's.
    ASSERT_TRUE(runUntil([&] { return form->ActiveBinding() && !binding->Busy; }));
    datagramsReceived();
    // A notifying read that fails says so in the memo, though the page set no handler.
    const QString getLine = panel->MsgPanel->Memo->toPlainText();
    EXPECT_TRUE(getLine.startsWith("Get: ")) << getLine.toStdString();
    EXPECT_TRUE(getLine.contains("timed out")) << getLine.toStdString();

    // A ticked row without value stops the set before anything goes out.
    qobject_cast<QLineEdit*>(rows[1].valueControl)->setText("one");
    rows[1].checkBox->click();
    rows[2].checkBox->click();
    buttons.Bt_SetChecked->click();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Some items are empty!");
    EXPECT_EQ(recorder.messages[0].caption, "Warning");
    EXPECT_EQ(recorder.messages[0].buttons, DialogButtons::Ok);
    runFor(50);
    EXPECT_EQ(datagramsReceived(), 0);
    EXPECT_EQ(accessCodes(), before);
    EXPECT_EQ(binding->RequestMode, QvSNMPRequest2Controls::kNotifying);

    // A set that times out reports in the memo and leaves the list as the page made it.
    rows[2].checkBox->click();
    buttons.Bt_SetChecked->click();
    EXPECT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(datagramsReceived(), 1);
    const QString memo = panel->MsgPanel->Memo->toPlainText().split('\n').last();
    EXPECT_TRUE(memo.startsWith("Set: ")) << memo.toStdString();
    EXPECT_TRUE(memo.contains("Receive at")) << memo.toStdString();
    EXPECT_EQ(accessCodes(), before);
    EXPECT_EQ(binding->RequestMode, QvSNMPRequest2Controls::kNotifying);
}

} // namespace
