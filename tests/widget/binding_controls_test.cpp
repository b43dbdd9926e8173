#include "binding/ControlEvents.h"
#include "binding/Controls.h"
#include "support/DialogRecorder.h"
#include "binding/OptionControls.h"
#include "binding/QvStatusBar.h"
#include "binding/RadioGroup.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const OptionRow kEnableRows[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const OptionRow kNoRows[] = {{0, nullptr}};

void type(QLineEdit* edit, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
}

TEST(OptionControls, ControlsAreFilledInRowOrderAndSelectedByDisplayOrValueText)
{
    const QvOptionList options(kEnableRows);
    QComboBox combo;
    combo.addItem("left over");
    RadioGroup radios;
    FillItems(options, &combo);
    FillItems(options, &radios);
    EXPECT_EQ(combo.count(), 2);
    EXPECT_EQ(combo.itemText(1), "Enable");
    EXPECT_EQ(radios.Items(), QStringList({"Disable", "Enable"}));
    EXPECT_EQ(combo.currentIndex(), -1) << "filling chooses nothing";
    EXPECT_EQ(radios.ItemIndex(), -1);

    struct Case {
        const char* text;
        int index;
    };
    const Case cases[] = {{"Enable", 1}, {"enable", 1}, {"1", 1}, {"0", 0}, {"Disable", 0},
                          {"5", -1},     {"(NULL)", -1}, {"", -1},   {"1x", -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        combo.setCurrentIndex(0);
        radios.SetItemIndex(0);
        SelectItem(options, &combo, c.text);
        SelectItem(options, &radios, c.text);
        EXPECT_EQ(combo.currentIndex(), c.index);
        EXPECT_EQ(radios.ItemIndex(), c.index);
    }

    const QvOptionList empty(kNoRows);
    FillItems(empty, &combo);
    FillItems(empty, &radios);
    EXPECT_EQ(combo.count(), 0);
    EXPECT_EQ(radios.Count(), 0);
    SelectItem(empty, &combo, "0");
    EXPECT_EQ(combo.currentIndex(), -1);
}

TEST(RadioGroupControl, AUserClickChoosesAnItem)
{
    RadioGroup radios;
    radios.SetItems({"Off", "On"});
    int clicks = 0;
    QObject::connect(&radios, &RadioGroup::Click, [&] { ++clicks; });
    radios.findChildren<QRadioButton*>()[1]->click();
    EXPECT_EQ(radios.ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(radios.ItemText(1), "On");
    EXPECT_EQ(radios.ItemText(-1), "");
    radios.SetItemIndex(7);
    EXPECT_EQ(radios.ItemIndex(), -1);
}

TEST(StatusBarControl, SimpleTextCoversThePanelsOnlyInSimpleMode)
{
    QvStatusBar bar;
    bar.SetSimpleText("Ready. ");
    EXPECT_EQ(bar.currentMessage(), "Ready. ");
    QvStatusPanel* first = bar.AddPanel(120);
    first->SetText("Listing data ... ");
    EXPECT_FALSE(bar.SimplePanel());
    EXPECT_EQ(bar.currentMessage(), "");
    EXPECT_EQ(bar.PanelCount(), 1);
    EXPECT_EQ(bar.Panel(0)->Text(), "Listing data ... ");
    EXPECT_EQ(bar.Panel(1), nullptr);
    bar.SetSimplePanel(true);
    EXPECT_EQ(bar.currentMessage(), "Ready. ");
}

TEST(EditControl, TheTypingLimitLeavesTextsTheProgramSets)
{
    QLineEdit edit;
    EXPECT_EQ(MaxLength(&edit), 0);
    SetMaxLength(&edit, 3);
    type(&edit, "12345");
    EXPECT_EQ(edit.text(), "123");
    edit.setText("(NULL)");
    EXPECT_EQ(edit.text(), "(NULL)");
    SetMaxLength(&edit, 0);
    edit.clear();
    type(&edit, "12345");
    EXPECT_EQ(edit.text(), "12345");

    EXPECT_EQ(Tag(&edit), 0);
    SetTag(&edit, -1);
    EXPECT_EQ(Tag(&edit), -1);

    SetPasswordChar(&edit, '*');
    EXPECT_EQ(edit.echoMode(), QLineEdit::Password);
    SetPasswordChar(&edit, QChar());
    EXPECT_EQ(edit.echoMode(), QLineEdit::Normal);
}

TEST(EditControl, TheExitEventIsAMoveToAnotherControlNotAnotherWindow)
{
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* first = new QLineEdit(&form);
    auto* second = new QLineEdit(&form);
    layout->addWidget(first);
    layout->addWidget(second);
    form.show();
    form.activateWindow();
    QApplication::processEvents();
    int exits = 0;
    EditEvents::Of(first).OnExit = [&](QLineEdit* e) {
        EXPECT_EQ(e, first);
        ++exits;
    };
    first->setFocus();
    second->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(exits, 1);

    QFocusEvent deactivated(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(first, &deactivated);
    EXPECT_EQ(exits, 1);

    first->setFocus();
    FocusNextControl(&form);
    EXPECT_TRUE(second->hasFocus());
    EXPECT_EQ(exits, 2);
}

TEST(EditControl, AnExceptionFromAHandlerIsShownNotPassedIntoQt)
{
    DialogRecorder recorder;
    QLineEdit edit;
    EditEvents::Of(&edit).OnChange = [](QLineEdit*) { throw std::runtime_error("handler failed"); };
    edit.setText("x");
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "handler failed");
    EXPECT_EQ(recorder.messages[0].icon, DialogIcon::Error);
    EXPECT_EQ(edit.text(), "x");
}

TEST(PageControl, HiddenTabSheetsKeepTheirControls)
{
    QTabWidget tabs;
    auto* sheetA = new QWidget;
    auto* sheetG = new QWidget;
    auto* edit = new QLineEdit(sheetG);
    tabs.addTab(sheetA, "IEEE 802.11g");
    tabs.addTab(sheetG, "IEEE 802.11g");
    SetTabSheetVisible(sheetG, false);
    EXPECT_TRUE(TabSheetVisible(sheetA));
    EXPECT_FALSE(TabSheetVisible(sheetG));
    EXPECT_FALSE(tabs.isTabVisible(1));
    EXPECT_EQ(edit->parentWidget(), sheetG);
    EXPECT_FALSE(TabSheetVisible(edit)) << "an edit is no tab sheet";
}

TEST(ListViewControl, ZeroWidthColumnsAreHiddenAndFittedOnesShowTheirCaption)
{
    QTreeWidget view;
    SetReportStyle(&view);
    view.setColumnCount(0);  // a new tree widget starts with one column
    AddListColumn(&view, "index", 0);
    AddListColumn(&view, "Dynamic IP Start", kFitHeaderWidth);
    AddListColumn(&view, "MAC", 90);
    ASSERT_EQ(view.columnCount(), 3);
    EXPECT_TRUE(view.isColumnHidden(0));
    EXPECT_FALSE(view.isColumnHidden(1));
    EXPECT_GE(view.columnWidth(1), view.fontMetrics().horizontalAdvance("Dynamic IP Start"));
    EXPECT_EQ(view.columnWidth(2), 90);
    EXPECT_EQ(view.headerItem()->text(2), "MAC");
    EXPECT_EQ(view.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(view.selectionBehavior(), QAbstractItemView::SelectRows);
}

} // namespace
