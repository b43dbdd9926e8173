// The administrator, system and miscellaneous pages against vta-devsim: the account checks in
// their order, the restart and the factory restore with the wait dialog that the device's
// answer reshapes, the console settings, and what each does when the device refuses.
#include "support/PageTestKit.h"

#include "pages/tools/TFM_Admin.h"
#include "pages/tools/TFM_Misc.h"
#include "pages/tools/TFM_Sytem.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "binding/QvStatusBar.h"
#include "shell/TFM_Waiting.h"
#include "snmp/ErrorCatalogue.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kUserName = PrivateOid(".3.1.1.0");
const QString kPassword = PrivateOid(".3.1.2.0");
const QString kFactoryDefault = PrivateOid(".3.2.2.0");
const QString kTelnet = PrivateOid(".3.4.1.0");
const QString kTimeout = PrivateOid(".3.4.2.0");
const QString kUserLimit = PrivateOid(".2.6.2.0");

// Every look of the wait dialog while it is up: caption, first line, countdown line, and the
// count when it is shown.
class DialogLooks : public QObject {
public:
    DialogLooks()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* dialog = qobject_cast<TFM_Waiting*>(widget); dialog && dialog->isVisible())
                    note(*dialog);
        });
        m_timer.start(5);
        qApp->installEventFilter(this);
    }
    ~DialogLooks() override { qApp->removeEventFilter(this); }
    QStringList looks;

protected:
    // Also as it is shown: an answer that comes at once changes it before the first sample.
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (auto* dialog = qobject_cast<TFM_Waiting*>(watched); dialog && event->type() == QEvent::Show)
            note(*dialog);
        return false;
    }

private:
    void note(TFM_Waiting& dialog)
    {
        auto label = [&](const char* name) { return dialog.findChild<QLabel*>(name); };
        const QLabel* time = label("La_Time");
        const QString count = time->isVisible() ? time->text().size() > 1 ? "NN" : "N" : "-";
        const QString look = dialog.windowTitle() + " | " + label("Label2")->text() + " | " + label("Label3")->text() +
                             " | " + label("Label1")->text() + count;
        if (looks.isEmpty() || looks.last() != look)
            looks << look;
    }
    QTimer m_timer;
};

class AdminPage : public ModuleAgainstDevice {};

TEST_F(AdminPage, ChecksInOrderThenSendsNameAndEmptyPasswordAndRestarts)
{
    ASSERT_EQ(set({Bind(kPassword, SnmpType::OctetString, "old-pw")}).status, 0);
    TFM_Admin page(main.get());
    QLineEdit* user = child<QLineEdit>(&page, "Ed_Usr");
    QLineEdit* current = child<QLineEdit>(&page, "Ed_Pwd");
    QLineEdit* oldPassword = child<QLineEdit>(&page, "Ed_OPwd");
    QLineEdit* newPassword = child<QLineEdit>(&page, "Ed_NPwd");
    QLineEdit* confirm = child<QLineEdit>(&page, "Ed_CNP");
    EXPECT_EQ(user->text(), "admin");
    EXPECT_EQ(current->text(), "old-pw");
    EXPECT_EQ(oldPassword->echoMode(), QLineEdit::Password);

    struct Case {
        QString oldText, userText, newText, confirmText, message;
        QLineEdit* clearedEdit;
    };
    const QString tooLong(65, 'a');
    const Case cases[] = {
        // The old password first, whatever else is wrong; it is compared exactly.
        {"OLD-PW", "bad name", "x", "y", "Please input the current password correctly!", nullptr},
        {"old-pw", tooLong, "", "", "Please limit user name to 64 characters!", user},
        {"old-pw", "say\"hi\"", "", "", "Quotation Mark (\") is not accepted", nullptr},
        {"old-pw", "bad name", "", "", "Invaild UserName!", user},
        {"old-pw", "bad#name", "", "", "Invaild UserName!", user},
        {"old-pw", "admin", "1234567890123", "1234567890123", "Please limit password to 12 characters!", newPassword},
        {"old-pw", "admin", "abc", "abd", "Please input the confirm new password correctly!", nullptr},
        {"old-pw", "admin", "a\"b", "a\"b", "Quotation Mark (\") is not accepted", nullptr},
    };
    for (const Case& c : cases) {
        recorder.messages.clear();
        oldPassword->setText(c.oldText);
        user->setText(c.userText);
        newPassword->setText(c.newText);
        confirm->setText(c.confirmText);
        page.OKClick();
        ASSERT_EQ(recorder.texts(), QStringList(c.message)) << c.userText.toStdString();
        if (c.clearedEdit) {
            EXPECT_EQ(c.clearedEdit->text(), "") << c.message.toStdString();
        }
    }
    EXPECT_EQ(device->value(kUserName), "admin");
    EXPECT_EQ(device->value(kPassword), "old-pw");

    // 64 characters with every punctuation mark the rule allows; an empty new password.
    const QString name = "first.last_name-1@" + QString(46, 'x');
    ASSERT_EQ(name.size(), 64);
    WaitWatcher watcher;
    recorder.messages.clear();
    oldPassword->setText("old-pw");
    user->setText(name);
    newPassword->setText("");
    confirm->setText("");
    page.OKClick();
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("\n").toStdString();
    EXPECT_TRUE(deviceShows(kUserName, name));
    EXPECT_EQ(device->value(kPassword), "");
    EXPECT_EQ(current->text(), "");
    EXPECT_EQ(watcher.dialogsShown, 1);
    EXPECT_EQ(watcher.firstCountdowns, QStringList("40"));
}

// A set that cannot even be sent (the address resolves to nothing) changed nothing on the
// device: the page goes on comparing with the password it read, not with the one typed.
TEST_F(AdminPage, ASetThatCannotBeSentKeepsTheDevicesPasswordForTheCheck)
{
    ASSERT_EQ(set({Bind(kPassword, SnmpType::OctetString, "old-pw")}).status, 0);
    TFM_Admin page(main.get());
    ASSERT_EQ(child<QLineEdit>(&page, "Ed_Pwd")->text(), "old-pw");
    page.AccountEdits->request.address = "no-such-host.invalid";
    child<QLineEdit>(&page, "Ed_OPwd")->setText("old-pw");
    child<QLineEdit>(&page, "Ed_NPwd")->setText("new-pw");
    child<QLineEdit>(&page, "Ed_CNP")->setText("new-pw");
    child<QPushButton>(&page, "OK")->click();
    EXPECT_EQ(recorder.texts(), QStringList({"(QvSNMP++) Invalid IP Address or DNS name!"}));
    EXPECT_EQ(child<QLineEdit>(&page, "Ed_Pwd")->text(), "old-pw");
    EXPECT_EQ(device->value(kPassword), "old-pw");
}

TEST(AdminUserNameRule, LettersDigitsAndFourMarks)
{
    EXPECT_TRUE(IsValidUserName(""));
    EXPECT_TRUE(IsValidUserName("Az09@._-"));
    for (const char* refused : {"a b", "a#b", "a/b", "a:b", "\xc3\xa9t\xc3\xa9"})
        EXPECT_FALSE(IsValidUserName(QString::fromUtf8(refused))) << refused;
}

class SystemPage : public ModuleAgainstDevice {};

TEST_F(SystemPage, CancelSendsNothingAndRestartShowsTheRebootingCaption)
{
    TFM_Sytem page(main.get());
    ASSERT_TRUE(waitFor([&] { return !page.FactoryEdits->Busy; }, 5000));
    EXPECT_EQ(child<QComboBox>(&page, "CB_Restore")->currentText(), "nothing");
    WaitWatcher watcher;
    DialogLooks looks;
    recorder.answers = {DialogResult::Cancel, DialogResult::Cancel};
    page.Button1Click();
    page.Button2Click();
    EXPECT_EQ(recorder.texts(), QStringList({"Device will reboot, continue?", "Device will reboot, continue?"}));
    EXPECT_EQ(recorder.messages[0].buttons, DialogButtons::OkCancel);
    EXPECT_EQ(watcher.dialogsShown, 0);
    EXPECT_EQ(device->value(kFactoryDefault), "0");

    page.Button1Click();
    EXPECT_EQ(watcher.dialogsShown, 1);
    ASSERT_FALSE(looks.looks.isEmpty());
    EXPECT_TRUE(looks.looks[0].startsWith("System is rebooting, please waiting..... | Settings saved."))
        << looks.looks[0].toStdString();
}

TEST_F(SystemPage, RestoreSendsFactoryDefaultAndTheAnswerTurnsTheDialogIntoTheRestart)
{
    ASSERT_EQ(set({Bind(kUserLimit, SnmpType::Integer, {}, 5)}).status, 0);
    TFM_Sytem page(main.get());
    ASSERT_TRUE(waitFor([&] { return !page.FactoryEdits->Busy; }, 5000));
    DialogLooks looks;
    page.Button2Click();
    EXPECT_EQ(device->value(kFactoryDefault), "1");
    EXPECT_EQ(device->value(kUserLimit), "32");
    EXPECT_EQ(page.StatusBar()->Panel(0)->Text(), QString::fromStdString(MapStatus(0).text));
    ASSERT_GE(looks.looks.size(), 2);
    // Waiting without a count until the device answered, then the restart's count of 35.
    EXPECT_EQ(looks.looks[0], "System is rebooting, please waiting.....! | Settings saved. | "
                              "The system IP will be 192.168.0.50 ! | please waiting.....-");
    EXPECT_EQ(looks.looks[1], "System is rebooting, please waiting.....! | The device is restarting. | "
                              "The system IP will be 192.168.0.50 ! | Please waiting for NN");
    EXPECT_TRUE(page.Waiting() == nullptr);
}

class MiscPage : public ModuleAgainstDevice {};

TEST_F(MiscPage, TimeoutFollowsTheConsoleSwitchAndNeverIsSentAsSix)
{
    TFM_Misc page(main.get());
    QCheckBox* console = child<QCheckBox>(&page, "CB_Status");
    QComboBox* timeout = child<QComboBox>(&page, "CB_Timeout");
    QCheckBox* snmp = child<QCheckBox>(&page, "ChekbxSNMP");
    EXPECT_TRUE(console->isChecked());
    EXPECT_EQ(timeout->currentText(), "5 Mins");
    EXPECT_TRUE(timeout->isEnabled());
    EXPECT_TRUE(snmp->isChecked());

    timeout->setCurrentIndex(timeout->findText("Never"));
    console->click();
    EXPECT_FALSE(timeout->isEnabled());
    WaitWatcher watcher;
    page.Bt_ApplyClick();
    EXPECT_TRUE(deviceShows(kTimeout, "6"));  // sent though the choice was disabled
    EXPECT_EQ(device->value(kTelnet), "0");
    EXPECT_EQ(watcher.dialogsShown, 1);

    console->setChecked(true);
    page.Bt_RfreshClick();
    EXPECT_FALSE(console->isChecked());
    EXPECT_FALSE(timeout->isEnabled());
}

// A device that refuses every write of these pages.
class ToolsPagesRefused : public ModuleAgainstDevice {
protected:
    QStringList deviceArguments() const override
    {
        return {"--refuse-set", kPassword + "=5", "--refuse-set", kFactoryDefault + "=5", "--refuse-set",
                kTimeout + "=5"};
    }
};

TEST_F(ToolsPagesRefused, EachSaysSoWithoutARestart)
{
    WaitWatcher watcher;
    {
        TFM_Admin page(main.get());
        child<QLineEdit>(&page, "Ed_NPwd")->setText("new-pw");
        child<QLineEdit>(&page, "Ed_CNP")->setText("new-pw");
        page.OKClick();
        EXPECT_EQ(page.StatusBar()->SimpleText(), "Setting Error!");
        // The device kept its password: the page keeps comparing with it.
        EXPECT_EQ(child<QLineEdit>(&page, "Ed_Pwd")->text(), "");
    }
    {
        TFM_Misc page(main.get());
        page.Bt_ApplyClick();
        EXPECT_EQ(page.StatusBar()->SimpleText(), "Setting Error!");
    }
    EXPECT_EQ(watcher.dialogsShown, 0);

    // The refused restore ends the dialog within about two ticks, not a count of 100.
    TFM_Sytem page(main.get());
    ASSERT_TRUE(waitFor([&] { return !page.FactoryEdits->Busy; }, 5000));
    DialogLooks looks;
    QElapsedTimer clock;
    clock.start();
    page.Button2Click();
    EXPECT_LT(clock.elapsed(), 1500);  // a tick is 60 ms at this time scale
    EXPECT_EQ(watcher.dialogsShown, 1);
    EXPECT_EQ(looks.looks.size(), 1) << looks.looks.join("\n").toStdString();
    EXPECT_EQ(page.StatusBar()->Panel(0)->Text(), QString::fromStdString(MapStatus(5).text));
    EXPECT_EQ(device->value(kFactoryDefault), "0");
}

using SystemPageWithoutDevice = PageWithoutDevice;

// A device that does not answer: Restore says why it does nothing yet, and the page closes
// within a few seconds of being asked, with its opening read outstanding or not.
TEST_F(SystemPageWithoutDevice, RestoreSaysThePageIsBusyAndClosingTakesAFewSecondsAtMost)
{
    TFM_Sytem page;
    page.show();
    ASSERT_TRUE(page.FactoryEdits->Busy);
    child<QPushButton>(&page, "Button2")->click();
    EXPECT_EQ(page.StatusBar()->Panel(0)->Text(), QvPage::kBusyText);
    EXPECT_TRUE(recorder.messages.empty()) << "no confirmation while the read is under way";
    QElapsedTimer clock;
    clock.start();
    page.close();
    ASSERT_TRUE(waitFor([&] { return !page.isVisible(); }, QvPage::kCloseGraceMs + 1000));
    EXPECT_LT(clock.elapsed(), QvPage::kCloseGraceMs + 500);
}

} // namespace
