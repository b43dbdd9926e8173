#include "binding/QvPage.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "binding/QvStatusBar.h"
#include "pages/advanced/AdvancedPages.h"
#include "pages/home/HomePages.h"
#include "pages/home/TFM_Wirless.h"
#include "pages/status/StatusPages.h"
#include "pages/tools/ToolsPages.h"
#include "platform/Dialogs.h"
#include "shell/PageRegistry.h"
#include "shell/RestartWait.h"
#include "snmp/SnmpSettings.h"
#include "support/PageTestKit.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPushButton>
#include <QTest>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <functional>
#include <memory>

// A waiting exchange no longer freezes the window: it paints and its timers run while the
// exchange waits; what would act on the waiting page in the middle of its handler waits for
// the answer; closing the page ends the wait at once, and nothing is sent afterwards.
namespace {

#define SYSTEM "1.3.6.1.2.1.1"
const VariableDescriptor kSystem[] = {
    {SYSTEM ".5", "sysName", kSyntaxDisplayString, kAccessReadWrite},
    {nullptr, nullptr, 0, 0},
};

// The longest the event loop went without running a 10 ms timer while `opening` ran.
class LoopWatch {
public:
    LoopWatch()
    {
        m_clock.start();
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_clock.restart());
            ++ticks;
        });
        m_timer.start();
    }
    qint64 longest() const { return std::max(m_longest, m_clock.elapsed()); }
    int ticks = 0;

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

class PagesOnALateDevice : public ModuleAgainstDevice {
protected:
    QStringList deviceArguments() const override { return {"--delay-ms", "300"}; }
};

// Every page of the menu against a device that answers 300 ms late: it is on the screen before
// it reads anything, fills while its reads run, and the loop never stands for more than
// 100 ms. A busy test machine can hold the whole process back for that long, so a page gets
// three openings to show it.
TEST_F(PagesOnALateDevice, EveryPageIsOnTheScreenBeforeItReadsAndTheLoopNeverStands)
{
    RegisterMenuPages();
    const auto registryGoes = qScopeGuard([] { PageRegistry::clear(); });
    // The main window's polls (at a twentieth of their time here) would always be outstanding.
    main->Timer1.stop();
    main->Timer4.stop();
    ASSERT_TRUE(waitFor([] { return SnmpSession::global().outstanding() == 0; }));
    QStringList stood, readUnseen;
    for (const PageRegistry::Page& registered : PageRegistry::inMenuOrder()) {
        const QString name = registered.caption.trimmed();
        qint64 best = std::numeric_limits<qint64>::max();
        for (int opening = 0; opening < 3 && best >= 100; ++opening) {
            std::unique_ptr<QDialog> page;
            bool busyUnseen = false;
            // Looked at from a timer: timers also run inside the page's waiting reads.
            QTimer look;
            QObject::connect(&look, &QTimer::timeout, [&] {
                const auto* qvPage = qobject_cast<QvPage*>(page.get());
                busyUnseen = busyUnseen || (qvPage && qvPage->AnyBindingBusy() && !qvPage->isVisible());
            });
            look.start(5);
            {
                const QvPage::OpenShown shown;
                page.reset(registered.factory(main.get()));
            }
            page->show();
            LoopWatch watch;
            // Pages whose timers read again stay busy: their opening is watched for a while.
            waitFor(
                [&] {
                    const auto* qvPage = qobject_cast<QvPage*>(page.get());
                    return (!qvPage || (qvPage->Created() && !qvPage->AnyBindingBusy()))
                        && SnmpSession::global().outstanding() == 0;
                },
                8000);
            best = std::min(best, watch.longest());
            if (busyUnseen && !readUnseen.contains(name))
                readUnseen << name;
            look.stop();
            page->close();
            page.reset();
            waitFor([] { return SnmpSession::global().outstanding() == 0; });
        }
        if (best >= 100)
            stood << QString("%1 (%2 ms)").arg(name).arg(best);
    }
    EXPECT_TRUE(stood.isEmpty()) << "the loop stood: " << stood.join(", ").toStdString();
    EXPECT_TRUE(readUnseen.isEmpty()) << "read before on the screen: " << readUnseen.join(", ").toStdString();
}

// A device that never answers.
class PagesOnASilentDevice : public PageWithoutDevice {};

// The wireless page's security read waits 50 s per try: a close asked for while it waits is
// done within a second, and nothing more leaves for the device.
TEST_F(PagesOnASilentDevice, APageClosesWithinASecondWhateverItsReadsWaitFor)
{
    AimAt(silent->port(), 100);
    std::unique_ptr<QvPage> page;
    {
        const QvPage::OpenShown shown;
        page.reset(new TFM_Wirless);
    }
    page->show();
    QElapsedTimer asked;
    QTimer::singleShot(1500, page.get(), [&] {
        asked.start();
        silent->datagramsReceived();
        page->close();
    });
    ASSERT_TRUE(waitFor([&] { return asked.isValid() && page->Created() && !page->isVisible(); }, 20000));
    EXPECT_LT(asked.elapsed(), 1000);
    runFor(1500);
    EXPECT_EQ(silent->datagramsReceived(), 0) << "sent after the close";
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
}

// The wireless page's opening reads go out together, and its pass-phrase read waits 50 s per
// try. Every other read ends at its own time-out, as it would have alone: the page says the
// device timed out within seconds, not when the pass-phrase read gives up a minute and a
// half later.
TEST_F(PagesOnASilentDevice, EachOpeningReadEndsAtItsOwnTimeOut)
{
    AimAt(silent->port(), 100);  // 1 s a try, one retry
    std::unique_ptr<QvPage> page;
    {
        const QvPage::OpenShown shown;
        page.reset(new TFM_Wirless);
    }
    page->show();
    QElapsedTimer clock;
    clock.start();
    const auto saysTimedOut = [&] {
        const QString said = page->StatusBar()->SimpleText() + recorder.texts().join("|");
        return said.contains("timed out");
    };
    ASSERT_TRUE(waitFor(saysTimedOut, 30000))
        << page->StatusBar()->SimpleText().toStdString() << " | " << recorder.texts().join("|").toStdString();
    EXPECT_LT(clock.elapsed(), 8000);
    page->close();
    ASSERT_TRUE(waitFor([&] { return !page->isVisible(); }, 3000));
}

// A click on a page that waits for the device is refused where the user can see it (the busy
// cursor, the status bar), not run in the middle of the page's reads nor held back to run
// later against a page that has changed; Escape still closes the page at once.
TEST_F(PagesOnASilentDevice, InputToAWaitingPageIsRefusedVisiblyAndEscapeCloses)
{
    AimAt(silent->port(), 100);
    std::unique_ptr<TFM_Wirless> page;
    {
        const QvPage::OpenShown shown;
        page.reset(new TFM_Wirless);
    }
    page->show();
    auto* refresh = page->findChild<QPushButton*>("Bt_Refresh");
    ASSERT_NE(refresh, nullptr);
    int refreshes = 0;
    QObject::connect(refresh, &QPushButton::clicked, [&] { ++refreshes; });
    bool busyCursor = false;
    QString said;
    QElapsedTimer escaped;
    QTimer::singleShot(800, page.get(), [&] {
        QTest::mouseClick(refresh, Qt::LeftButton);
        busyCursor = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BusyCursor;
        said = page->StatusBar()->SimpleText();
        escaped.start();
        QTest::keyClick(page.get(), Qt::Key_Escape);
    });
    ASSERT_TRUE(waitFor([&] { return escaped.isValid() && !page->isVisible(); }, 20000));
    EXPECT_LT(escaped.elapsed(), 1000);
    EXPECT_EQ(refreshes, 0) << "the click reached the button";
    EXPECT_TRUE(busyCursor);
    EXPECT_EQ(said, QvPage::kBusyText);
    runFor(500);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor outlived the wait";
    EXPECT_EQ(refreshes, 0) << "the click was replayed after the wait";
}

// An Apply that writes in steps, closed during its first write: that write ends as a
// time-out, and after it nothing is written, asked or restarted.
TEST_F(PagesOnASilentDevice, AfterAWriteEndedByTheCloseNothingIsWrittenAskedOrRestarted)
{
    AimAt(silent->port(), 500);
    QvPage page;
    QLineEdit name(&page);
    name.setText("lobby");
    auto& first = page.NewBinding<QvSNMPRequest2Edits>();
    auto& second = page.NewBinding<QvSNMPRequest2Edits>();
    for (auto* binding : {&first, &second}) {
        binding->RequestMode = QvSNMPRequest2Controls::kWaiting;
        binding->request.list.Assign(QvSNMPVarList(kSystem, kListScalars, 0));
        binding->BindEdit(0, &name, "%s");
    }
    page.show();
    QTimer::singleShot(300, &page, [&] { page.close(); });
    QElapsedTimer clock;
    clock.start();
    const bool written = first.Set(false);
    EXPECT_LT(clock.elapsed(), 1500);
    EXPECT_FALSE(written);
    EXPECT_FALSE(page.isVisible());
    EXPECT_EQ(silent->datagramsReceived(), 1);
    // What the Apply handler does next.
    if (!written)
        Dialogs::message(&page, "Setting error!", "Error");
    EXPECT_FALSE(second.Set(false));
    RunRestartWait({}, &page);
    runFor(800);
    EXPECT_EQ(silent->datagramsReceived(), 0);
    EXPECT_TRUE(recorder.messages.empty()) << recorder.texts().join("|").toStdString();
}

class WaitOnALateDevice : public PageAgainstDevice {
protected:
    QStringList deviceArguments() const override { return {"--delay-ms", "300"}; }
};

// While a waiting read of the page runs, other windows' timers go on; the page's own timer
// tick and the answer to its notifying read wait until the read has ended, as they did when
// the wait froze the window, and then each comes once, in order.
TEST_F(WaitOnALateDevice, WhatActsOnTheWaitingPageComesAfterItsRead)
{
    QvPage page;
    QLineEdit waited(&page), notified(&page);
    auto& reading = page.NewBinding<QvSNMPRequest2Edits>();
    reading.RequestMode = QvSNMPRequest2Controls::kWaiting;
    auto& notifying = page.NewBinding<QvSNMPRequest2Edits>();
    for (auto [binding, edit] : {std::pair{&reading, &waited}, std::pair{&notifying, &notified}}) {
        binding->request.list.Assign(QvSNMPVarList(kSystem, kListScalars, 0));
        binding->BindEdit(0, edit, "%s");
    }
    std::vector<std::string> order;
    notifying.OnGetDone = [&](QvSNMPRequest2Controls&, const QvSNMPError&) { order.push_back("notifying read"); };
    int pageTicks = 0;
    QTimer* pageTimer = page.NewTimer(10, [&] {
        ++pageTicks;
        order.push_back("page timer");
    });
    page.show();
    LoopWatch other;

    notifying.Get();
    pageTimer->start();
    EXPECT_TRUE(reading.Get());
    order.push_back("waiting read");
    EXPECT_EQ(pageTicks, 0);
    EXPECT_TRUE(notifying.Busy) << "its answer came during the wait, and waits";
    EXPECT_GT(other.ticks, 10) << "other timers stood still";
    EXPECT_FALSE(waited.text().isEmpty());

    ASSERT_TRUE(waitFor([&] { return !notifying.Busy && pageTicks >= 2; }));
    pageTimer->stop();
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ(order[0], "waiting read");
    EXPECT_NE(std::find(order.begin(), order.end(), "notifying read"), order.end());
    EXPECT_FALSE(notified.text().isEmpty());
}

} // namespace
