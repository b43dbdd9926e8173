#include "binding/ControlEvents.h"
#include "binding/Controls.h"
#include "support/DialogRecorder.h"
#include "binding/QvEditConstraint.h"
#include "snmp/QvException.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

namespace {

// A form with three edits in tab order; the first carries the constraint under test.
class ConstraintForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&form);
        for (QLineEdit*& edit : edits) {
            edit = new QLineEdit(&form);
            layout->addWidget(edit);
        }
        form.show();
        form.activateWindow();
        QApplication::processEvents();
        SetBeepHandler([this] { ++beeps; });
    }
    void TearDown() override { SetBeepHandler(nullptr); }

    QLineEdit* edit() const { return edits[0]; }

    void bind(const std::string& format) { constraint.AddConstraints(format, {edit()}); }

    // Types the characters one by one, as a user does.
    static void type(QLineEdit* target, const QString& text)
    {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(target, &press);
        }
    }

    // Gives the first edit the focus, then moves it on to the second, so the first one's
    // exit runs as it does for a user.
    void leave()
    {
        edit()->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        edits[1]->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }

    QWidget form;
    QLineEdit* edits[3] = {};
    QvEditConstraint constraint{&form, true};
    DialogRecorder recorder;
    int beeps = 0;
};

TEST_F(ConstraintForm, TypingRemovesEachCharacterTheFieldRefusesWithABeep)
{
    struct Case {
        const char* format;
        const char* typed;
        const char* left;
        int beeps;
    };
    const Case cases[] = {
        {"%u{n1x4094}", "40a95", "4095", 1},
        {"%h", "0g1", "01", 1},
        {"%h", "aF9z", "aF9", 1},
        {"%i", "-1-2", "-12", 1},
        {"%f", "-1.5.2", "-1.52", 1},
        {"%n.", ".1..2", "1.2", 2},     // no delimiter first, none right after another
        {"%n,{l4}", "10,2,,3", "10,2,3", 1},
        {"%s", "a%b c", "a%b c", 0},
        {"%s{l5}", "abcdefg", "abcde", 0},  // the length limits typing without a beep
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " typed " + c.typed);
        ConstraintForm::TearDown();
        QLineEdit target(&form);
        beeps = 0;
        SetBeepHandler([this] { ++beeps; });
        constraint.AddConstraint(c.format, &target);
        type(&target, c.typed);
        EXPECT_EQ(target.text(), QString(c.left));
        EXPECT_EQ(beeps, c.beeps);
    }
}

TEST_F(ConstraintForm, LeavingTheEditChecksItsTextAndShowsTheFilledInMessage)
{
    struct Case {
        const char* format;
        const char* text;
        const char* message;  // "" when the text is accepted
        int maxLength;        // a limit the page sets after binding; -1 keeps the specifier's
    };
    const Case cases[] = {
        {"%u{n1x4094}", "4095", "(QvCommon) Please enter a number between 1 and 4094!", -1},
        {"%u{n1x4094}", "0", "(QvCommon) Please enter a number between 1 and 4094!", -1},
        {"%u{n1x4094}", "4094", "", -1},
        {"%u{n300x18000}", "300", "", -1},
        {"%u{n300x18000}", "18000", "", -1},
        {"%u{n300x18000}", "299", "(QvCommon) Please enter a number between 300 and 18000!", -1},
        {"%u{n300x18000}", "18001", "(QvCommon) Please enter a number between 300 and 18000!", -1},
        {"%u{n1x65535}", "65536", "(QvCommon) Please enter a number between 1 and 65535!", -1},
        {"%u", "4294967296", "(QvCommon) Please enter a number between 0 and 4294967295!", -1},
        {"%i{n-5x5}", "-6", "(QvCommon) Please enter a number between -5 and 5!", -1},
        {"%f{n0.5x2.5}", "2.75", "(QvCommon) Please enter a number between 0.5 and 2.5!", -1},
        {"%h", "0123456789ABCDEF0123", "", -1},
        {"%s{l5f}", "abc", "(QvCommon) Please enter a string whose length is 5!", -1},
        {"%s{l5f}", "abcde", "", -1},
        {"%s{l3}", "abc", "", -1},  // as long as the length is allowed
        {"%s{l3}", "abcd", "(QvCommon) Please enter a string whose length is less than 3!", 10},
        {"%h{l4}", "ABCDE", "(QvCommon) Please enter a hex string whose length is less than 4!", 10},
        {"%h{l4f}", "AB", "(QvCommon) Please enter a hex string whose length is 4!", -1},
        {"%s{l0n}", "", "(QvCommon) Empty value is not allowed!", -1},
        {"%u{n1x4094}", "", "", -1},  // empty is fine without the not-empty flag
        {"%n.{l4f}", "1.2.3",
         "(QvCommon) Please enter a delimited number string with delimiter '.'.\nHere,the count of the number is "
         "equal to 4!",
         -1},
        {"%n.{l4}", "1.2.3.4.5",
         "(QvCommon) Please enter a delimited number string with delimiter '.'.\nHere,the count of the number is "
         "less than 4!",
         -1},
        {"%n.{l4}", "1.2", "", -1},
        {"%n:{n0x255}", "1:300",
         "(QvCommon) Please enter a delimited number string with delimiter ':'.\nHere,each number is between 0 and "
         "255!",
         -1},
        {"%n.{l4f}", "192.168.0.1", "", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " with '" + c.text + "'");
        QvEditConstraint own(&form, true);
        own.AddConstraint(c.format, edit());
        if (c.maxLength >= 0)
            SetMaxLength(edit(), c.maxLength);
        recorder.messages.clear();
        edit()->setText(c.text);
        leave();
        if (*c.message == '\0') {
            EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
            EXPECT_EQ(edit()->text(), QString(c.text));
        } else {
            ASSERT_EQ(recorder.messages.size(), 1u);
            EXPECT_EQ(recorder.messages[0].text, QString(c.message));
            EXPECT_EQ(recorder.messages[0].caption, ExecutableName());
            EXPECT_EQ(recorder.messages[0].buttons, DialogButtons::Ok);
            EXPECT_EQ(edit()->text(), QString());  // nothing was accepted before
            EXPECT_TRUE(edit()->hasFocus());
        }
    }
}

TEST_F(ConstraintForm, AFailedExitPutsBackTheLastAcceptedText)
{
    bind("%u{n1x4094}");
    edit()->setText("42");  // as a get puts it there: not accepted yet
    edit()->setText("");
    type(edit(), "12");
    leave();
    EXPECT_TRUE(recorder.messages.empty());

    edit()->setFocus();
    edit()->setText("");
    type(edit(), "5000");
    leave();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(edit()->text(), "12");
    EXPECT_TRUE(edit()->hasFocus());

    // An accepted empty text is not remembered: the next failure still restores "12".
    edit()->setText("");
    leave();
    edit()->setText("9999");
    leave();
    EXPECT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(edit()->text(), "12");
}

TEST_F(ConstraintForm, PlaceholderTextsPassBothChecksUntouched)
{
    bind("%u{l3n}");
    for (const char* placeholder : {"(NULL)", "(NOTDONE)"}) {
        edit()->setText(placeholder);
        leave();
        EXPECT_EQ(edit()->text(), QString(placeholder));
    }
    EXPECT_EQ(beeps, 0);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(ConstraintForm, AutoAdvanceMovesOnAtTheLengthAndTheFixedLengthIsChecked)
{
    bind("%s{l5af}");
    EXPECT_EQ(MaxLength(edit()), 5);
    edit()->setFocus();
    QApplication::processEvents();
    type(edit(), "abcd");
    QApplication::processEvents();
    EXPECT_TRUE(edit()->hasFocus());
    type(edit(), "ef");  // the sixth character does not fit
    QApplication::processEvents();
    EXPECT_EQ(edit()->text(), "abcde");
    EXPECT_TRUE(edits[1]->hasFocus());
    EXPECT_TRUE(recorder.messages.empty());

    edit()->setText("abc");
    leave();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "(QvCommon) Please enter a string whose length is 5!");
    EXPECT_EQ(edit()->text(), "abcde");
}

TEST_F(ConstraintForm, TheNextFieldKeyMovesOnAndDisappears)
{
    bind("%u{e.}");
    edit()->setFocus();
    QApplication::processEvents();
    type(edit(), "12.");
    QApplication::processEvents();
    EXPECT_EQ(edit()->text(), "12");
    EXPECT_TRUE(edits[1]->hasFocus());
    EXPECT_EQ(beeps, 0);
}

TEST_F(ConstraintForm, PageHandlersRunAfterTheChecksAndVetoWithTagMinusOne)
{
    int changes = 0;
    int exits = 0;
    EditEvents::Of(edit()).OnChange = [&](QLineEdit* e) {
        ++changes;
        SetTag(e, e->text() == "abcde" ? -1 : 0);  // veto the advance at full length
    };
    EditEvents::Of(edit()).OnExit = [&](QLineEdit* e) {
        ++exits;
        SetTag(e, e->text() == "bad" ? -1 : 0);
    };
    bind("%s{l5a}");

    edit()->setFocus();
    QApplication::processEvents();
    type(edit(), "abcde");
    QApplication::processEvents();
    EXPECT_EQ(changes, 5);
    EXPECT_TRUE(edit()->hasFocus()) << "the page's veto keeps the focus here";

    leave();  // accepted, remembered
    EXPECT_EQ(exits, 1);
    edit()->setText("bad");
    leave();
    EXPECT_EQ(exits, 2);
    EXPECT_EQ(edit()->text(), "abcde") << "the page's veto puts back the last accepted text";
    EXPECT_TRUE(recorder.messages.empty());

    // A failed check does not reach the page's exit handler.
    edit()->setFocus();
    SetMaxLength(edit(), 10);
    edit()->setText("toolongtext");
    leave();
    EXPECT_EQ(exits, 2);
}

TEST_F(ConstraintForm, MalformedSpecsRaiseTheFormatErrorAndLeaveTheEditAlone)
{
    const char* formats[] = {"%s{q}", "%s{l}", "x%s", "%z", "%n", "%", "%s{l5", "%s l5}", "%u{nx5}",
                             "%u{n1-2}", "%s{e}", "%s%s", "%u{w}"};
    for (const char* format : formats) {
        SCOPED_TRACE(format);
        QLineEdit target(&form);
        SetMaxLength(&target, 7);
        QvEditConstraint own(&form, true);
        try {
            own.AddConstraints(format, {&target});
            if (std::string(format) != "%")  // a lone "%" at the end holds no specifier at all
                ADD_FAILURE() << "accepted";
        } catch (const QvException& error) {
            EXPECT_EQ(error.code(), -2);
            EXPECT_STREQ(error.what(), "(QvCommon) Bad format specifier of edit's constraint!");
        }
        EXPECT_EQ(own.FindConstraint(&target), nullptr);
        EXPECT_EQ(MaxLength(&target), 7);
        type(&target, "a");
        EXPECT_EQ(beeps, 0);
    }
}

TEST_F(ConstraintForm, BindingWithoutALengthLiftsAnEarlierLimitAndAWidthResizes)
{
    SetMaxLength(edit(), 8);
    bind("%s{w140}");
    EXPECT_EQ(MaxLength(edit()), 0);
    EXPECT_EQ(edit()->width(), 140);
}

TEST_F(ConstraintForm, AnEditDestroyedWhileItHasTheFocusIsNotCheckedOnItsWayOut)
{
    // Qt takes the focus from a widget in its destructor, when it is no longer an edit: an
    // exit check then would read the text of a destroyed edit.
    int exits = 0;
    EditEvents::Of(edit()).OnExit = [&](QLineEdit*) { ++exits; };
    bind("%u{n1x4094}");
    edit()->setText("4095");
    edit()->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(edit()->hasFocus());

    delete edits[0];
    edits[0] = nullptr;
    QApplication::processEvents();
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(recorder.messages.empty()) << "no range message for an edit that is gone";
}

TEST_F(ConstraintForm, EditsThatOutliveTheConstraintGetTheirOwnHandlersBack)
{
    int changes = 0;
    EditEvents::Of(edit()).OnChange = [&](QLineEdit*) { ++changes; };
    {
        QvEditConstraint own(&form, true);
        own.AddConstraint("%u", edit());
        type(edit(), "1x");
        EXPECT_EQ(beeps, 1);
    }
    type(edit(), "y");
    EXPECT_EQ(edit()->text(), "1y");
    EXPECT_EQ(beeps, 1);
    EXPECT_GE(changes, 2);
}

} // namespace
