#include "support/SnmpLibrary.h"
#include "support/DialogRecorder.h"
#include "support/SilentAgent.h"
#include "support/PageTestKit.h"
#include "snmp/QvException.h"
#include "binding/QvPage.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "snmp/QvSNMPStartup.h"
#include "snmp/SnmpSettings.h"
#include "binding/QvStatusBar.h"
#include "ui_binding_samplepage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>
#include <gtest/gtest.h>

namespace {

const OptionRow kModeRows[] = {{1, "Static (Manual)"}, {2, "Dynamic (DHCP)"}, {0, nullptr}};
const QvOptionList kModes(kModeRows);

const VariableDescriptor kSettings[] = {
    {"1.3.6.1.4.1.32473.99.1", "name", kSyntaxDisplayString, kAccessReadWrite},
    {"1.3.6.1.4.1.32473.99.2", "mode", kSyntaxInteger, kAccessReadWrite, &kModes},
    {nullptr, nullptr, 0, 0},
};

// A page as every page of the module is built: a form file, one class with the documented
// handler names, bindings owned by the page, handlers run guarded.
class TFM_Sample : public QvPage {
public:
    explicit TFM_Sample(const char* nameFormat = "%s{l32}")
        : m_nameFormat(nameFormat)
    {
        ui.setupUi(this);
        Handle(ui.Bt_Apply, &QPushButton::clicked, [this] { Bt_ApplyClick(); });
        Handle(ui.Bt_Refresh, &QPushButton::clicked, [this] { Bt_RefreshClick(); });
        Guard([this] { FormCreate(); });
    }

    Ui::TFM_Sample ui;
    QvSNMPRequest2Edits* SettingsEdits = nullptr;
    int getsDone = 0;
    // Counts completions where a test can still read it after the page has gone.
    int* completionsSeen = nullptr;

private:
    void FormCreate()
    {
        auto& edits = NewBinding<QvSNMPRequest2Edits>();
        edits.request.list.Assign(QvSNMPVarList(kSettings, kListScalars, 0));
        edits.request.timeout = 20;
        edits.request.retries = 0;
        edits.BindEdit(0, ui.Ed_Name, m_nameFormat);
        edits.BindComboBox(1, ui.CB_Mode);
        edits.SetStatusSink(ui.StatusBar);
        edits.OnGetDone = [this](QvSNMPRequest2Controls& binding, const QvSNMPError& record) {
            ++getsDone;
            if (completionsSeen)
                ++*completionsSeen;
            if (record.code != 0)
                binding.ShowStatus(record.message);
        };
        SettingsEdits = &edits;
        edits.Get();
    }

    void Bt_ApplyClick()
    {
        if (SettingsEdits->Busy)
            return;
        SettingsEdits->Set();
    }

    void Bt_RefreshClick() { throw QvException("(QvSNMP++) Bad SNMP syntax!", -511); }

    const char* m_nameFormat;
};

class SamplePage : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        StartSnmpLibraryOnce();
    }

    SilentAgent silent;  // an agent that never answers
    DialogRecorder recorder;
};

TEST_F(SamplePage, TheFormFileAndTheBindingsMeet)
{
    TFM_Sample page;
    EXPECT_EQ(page.findChild<QLineEdit*>("Ed_Name"), page.ui.Ed_Name);
    EXPECT_EQ(page.ui.CB_Mode->count(), 2);
    EXPECT_TRUE(page.SettingsEdits->Busy);
    EXPECT_TRUE(page.AnyBindingBusy());
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(SamplePage, AHandlerThatThrowsShowsTheExceptionBoxAndThePageGoesOn)
{
    TFM_Sample page;
    page.ui.Bt_Refresh->click();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "(QvSNMP++) Bad SNMP syntax!");
    EXPECT_EQ(recorder.messages[0].icon, DialogIcon::Error);

    page.ui.Bt_Apply->click();  // ignored while the first read is under way
    EXPECT_EQ(recorder.messages.size(), 1u);
}

TEST_F(SamplePage, AFailedFormCreationIsShownAndThePageStillOpens)
{
    TFM_Sample page("%s{l}");
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "(QvCommon) Bad format specifier of edit's constraint!");
    EXPECT_FALSE(page.AnyBindingBusy());
}

TEST_F(SamplePage, ClosingWaitsForTheExchangesAndReleasesTheBindings)
{
    TFM_Sample page;
    page.show();
    page.reject();  // right away, while the read waits for its 200 ms time-out
    EXPECT_TRUE(page.isVisible()) << "the page stays until the read has ended";
    QElapsedTimer timer;
    timer.start();
    while (page.isVisible() && timer.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(page.getsDone, 1) << "the read ended before the bindings went";
    EXPECT_FALSE(page.AnyBindingBusy());
    EXPECT_TRUE(page.ui.StatusBar->SimpleText().startsWith("Get: (SNMPClass) SNMP request timed out!"))
        << page.ui.StatusBar->SimpleText().toStdString();
    EXPECT_FALSE(page.isVisible());

    // Typing into the edit after its binding went is harmless.
    page.ui.Ed_Name->setText("still here");
    EXPECT_EQ(page.ui.Ed_Name->text(), "still here");
}

TEST_F(SamplePage, APageEndedByTheApplicationsExitNeverHearsOfItsLateExchanges)
{
    // exec() returns without done() when every event loop is told to end; the page is then
    // destroyed while its read still waits for the time-out.
    int completions = 0;
    auto page = std::make_unique<TFM_Sample>();
    page->completionsSeen = &completions;
    QTimer::singleShot(20, [] { QCoreApplication::exit(0); });
    page->exec();
    ASSERT_TRUE(page->AnyBindingBusy());
    page.reset();  // waits for the read; the page's own handler must not run any more
    EXPECT_EQ(completions, 0);
}

TEST_F(SamplePage, APageThatRefusesToCloseWhileBusyStaysOpenAfterwards)
{
    TFM_Sample page;
    page.SetBusyClose(QvPage::BusyClose::Refuse);
    page.show();
    page.reject();
    page.close();
    EXPECT_TRUE(page.isVisible());
    ASSERT_TRUE(waitFor([&] { return !page.AnyBindingBusy(); }, 3000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(page.isVisible()) << "a refused close is not carried out later";
    page.reject();
    EXPECT_FALSE(page.isVisible());
}

// A device that takes long to answer (or never does) keeps no page open for longer than a
// second: the page lets go of the exchange, whose answer then reaches nobody.
TEST_F(SamplePage, ClosingWaitsLessThanASecondWhateverIsOutstanding)
{
    int completions = 0;
    auto page = std::make_unique<TFM_Sample>();
    page->completionsSeen = &completions;
    page->show();
    ASSERT_TRUE(waitFor([&] { return !page->AnyBindingBusy(); }, 3000));
    page->SettingsEdits->request.timeout = 6000;  // a minute per try
    page->SettingsEdits->Get();
    const int before = completions;
    QElapsedTimer clock;
    clock.start();
    page->reject();
    ASSERT_TRUE(waitFor([&] { return !page->isVisible(); }, QvPage::kBusyCloseGraceMs + 2000));
    EXPECT_GE(clock.elapsed(), QvPage::kBusyCloseGraceMs - 100) << "the exchange had its moment";
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(page->AnyBindingBusy());
    clock.restart();
    page.reset();
    EXPECT_LT(clock.elapsed(), 1000) << "nothing is waited for any more";
    EXPECT_EQ(completions, before) << "the late answer reaches no handler";
}

// A button the page cannot serve while busy says so where the page shows its state; a dialog
// without a status bar uses its page's.
TEST_F(SamplePage, AButtonRefusedWhileBusySaysSoInTheStatusBar)
{
    QvPage page;
    QvStatusBar bar(&page);
    page.UseStatusBar(&bar, {60, 40});
    EXPECT_FALSE(page.RefusedWhileBusy(false));
    EXPECT_EQ(bar.Panel(0)->Text(), "");
    EXPECT_TRUE(page.RefusedWhileBusy(true));
    EXPECT_EQ(bar.Panel(0)->Text(), QvPage::kBusyText);
    EXPECT_FALSE(bar.SimplePanel()) << "the panels stay";

    QvPage dialog(&page);
    bar.Panel(0)->SetText({});
    EXPECT_TRUE(dialog.RefusedWhileBusy(true));
    EXPECT_EQ(bar.Panel(0)->Text(), QvPage::kBusyText);

    QvPage simple;
    QvStatusBar simpleBar(&simple);
    simple.UseStatusBar(&simpleBar);
    EXPECT_TRUE(simple.RefusedWhileBusy(true));
    EXPECT_EQ(simpleBar.SimpleText(), QvPage::kBusyText);

    // HandleWhenIdle: the same rule for a handler that needs every binding free.
    TFM_Sample sample;
    sample.UseStatusBar(sample.ui.StatusBar);
    QPushButton button(&sample);
    bool ran = false;
    sample.HandleWhenIdle(&button, &QPushButton::clicked, [&] { ran = true; });
    button.click();
    EXPECT_FALSE(ran) << "the opening read is under way";
    EXPECT_EQ(sample.ui.StatusBar->SimpleText(), QvPage::kBusyText);
    ASSERT_TRUE(waitFor([&] { return !sample.AnyBindingBusy(); }, 3000));
    button.click();
    EXPECT_TRUE(ran);
}

TEST_F(SamplePage, AFailedFormCreateShowsInTheStatusBar)
{
    QvPage page;
    QvStatusBar bar(&page);
    page.UseStatusBar(&bar, {60, 40});
    EXPECT_FALSE(page.RunFormCreate([] { throw QvException("(QvSNMP++) Bad SNMP syntax!", -511); }));
    EXPECT_TRUE(bar.SimplePanel());
    EXPECT_EQ(bar.SimpleText(), "(QvSNMP++) Bad SNMP syntax!");
    EXPECT_TRUE(recorder.messages.empty()) << "the status bar says it; no message box";
    ASSERT_EQ(bar.PanelCount(), 2);
    EXPECT_EQ(bar.Panel(0)->width(), 60);
}

} // namespace
