// Opens every registered page of the module, one after another, against a device that answers
// every request late, and prints for each how many SNMP exchanges it made and how long it took
// until it was usable:
//   page_open_bench --port PORT --delay-ms MS
//   page                           exchanges    time (ms)   round trips
//   Wireless                               5           42           2.1
// The module runs as it does for a user: the main window built for 127.0.0.1 (its parameter
// file gives the agent port), the pages owned by it. Its status and capability polls are
// stopped once it has read the device, so the count holds the page's exchanges only.
// Exits 1 when the main window does not reach the device.
#include "pages/advanced/AdvancedPages.h"
#include "pages/home/HomePages.h"
#include "pages/status/StatusPages.h"
#include "pages/tools/ToolsPages.h"
#include "binding/QvPage.h"
#include "shell/PageRegistry.h"
#include "shell/TAboutForm.h"
#include "shell/TFM_Waiting.h"
#include "shell/TMainForm.h"
#include "snmp/SnmpSession.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace {

// A page that stays usable this long (and at least a few round trips) has finished opening;
// a later exchange (a timer's read) would make it busy again and move its end.
constexpr qint64 kQuietMs = 500;
constexpr int kQuietRoundTrips = 5;
// A page that is not usable after this long is reported as such.
constexpr qint64 kGiveUpMs = 120000;

// Runs the events that have come, or waits for the next one at most a millisecond: the watch
// neither holds back an answer that arrives nor takes the page's time by looking too often.
void nextTurn()
{
    static QTimer* const tick = [] {
        auto* timer = new QTimer(QCoreApplication::instance());
        timer->start(1);
        return timer;
    }();
    Q_UNUSED(tick);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

bool runUntil(const std::function<bool()>& done, qint64 timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        nextTurn();
    }
    return true;
}

// The wait dialogs that have shown, noted as they show: looking through every window at each
// turn would cost the page's own time. The watch starts with the first look (before any page).
class WaitDialogWatch : public QObject {
public:
    WaitDialogWatch() { QCoreApplication::instance()->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            if (auto* dialog = qobject_cast<TFM_Waiting*>(watched))
                m_shown.append(dialog);
        return false;
    }
    bool any()
    {
        m_shown.removeAll(nullptr);
        for (const QPointer<TFM_Waiting>& dialog : m_shown)
            if (dialog->isVisible())
                return true;
        return false;
    }

private:
    QList<QPointer<TFM_Waiting>> m_shown;
};

bool waitDialogUp()
{
    static WaitDialogWatch* const watch = new WaitDialogWatch;
    return watch->any();
}

// Its opening reads and writes have ended: no binding of the page is busy, no exchange of
// the module is outstanding and no wait dialog is up.
bool usable(QDialog* page)
{
    const auto* qvPage = qobject_cast<QvPage*>(page);
    return (!qvPage || (qvPage->Created() && !qvPage->AnyBindingBusy())) && SnmpSession::global().outstanding() == 0 && !waitDialogUp();
}

struct Opening {
    uint64_t exchanges = 0;
    qint64 milliseconds = -1;  // -1: never usable
};

// From creating the page until it became usable for good.
Opening open(const PageRegistry::Page& registered, TMainForm& mainWindow, int delayMs)
{
    SnmpSession& session = SnmpSession::global();
    const uint64_t before = session.exchangesSent();
    Opening opening;
    QElapsedTimer clock, quiet;
    clock.start();
    std::unique_ptr<QDialog> page;
    {
        const QvPage::OpenShown shown;  // as the main window opens it
        page.reset(registered.factory(&mainWindow));
    }
    page->show();
    uint64_t seen = 0;
    const qint64 quietMs = std::max<qint64>(kQuietMs, qint64{kQuietRoundTrips} * delayMs);
    while (clock.elapsed() < kGiveUpMs) {
        const uint64_t sent = session.exchangesSent() - before;
        if (!usable(page.get()) || (opening.milliseconds >= 0 && sent != seen)) {
            opening.milliseconds = -1;
        } else if (opening.milliseconds < 0) {
            opening = {sent, clock.elapsed()};
            seen = sent;
            quiet.start();
        } else if (quiet.elapsed() >= quietMs) {
            break;
        }
        nextTurn();
    }
    page->close();
    page.reset();
    runUntil([&] { return session.outstanding() == 0; }, kGiveUpMs);
    if (opening.milliseconds < 0)
        opening.exchanges = session.exchangesSent() - before;
    return opening;
}

int usage()
{
    std::fprintf(stderr, "usage: page_open_bench --port PORT --delay-ms MS\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VTA_UNATTENDED_DIALOGS", "1");
    QApplication application(argc, argv);
    int port = 0, delayMs = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--port")
            port = std::atoi(argv[i + 1]);
        else if (name == "--delay-ms")
            delayMs = std::atoi(argv[i + 1]);
        else
            return usage();
    }
    if (port <= 0 || port > 65535 || delayMs <= 0 || (argc - 1) % 2)
        return usage();

    RegisterHomePages();
    RegisterAdvancedPages();
    RegisterToolsPages();
    RegisterStatusPages();
    PageRegistry::add(MenuItem::About, [](QWidget* owner) { return new TAboutForm(owner); });

    // What the host installation leaves for the module: the device's parameter file in the
    // current folder; no registry keys, a lock of its own.
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    qputenv("VTA_LOCK_DIR", folder.path().toLocal8Bit());
    qputenv("VTA_HOST_REGISTRY", folder.filePath("registry.ini").toLocal8Bit());
    std::ofstream(folder.filePath("127.0.0.1.cfg").toStdString())
        << "[Program Information]\nAgentPort=" << port << "\nVersion=1\n";
    TMainForm mainWindow({"/I127.0.0.1", "/Rpublic", "/Wprivate"});
    if (mainWindow.outcome() != TMainForm::StartOutcome::Running)
        return 1;
    mainWindow.show();
    const bool ready = runUntil(
        [&] { return mainWindow.StatusText() == "Ready. " && !mainWindow.SubnetMask().isEmpty(); }, 30000);
    if (!ready) {
        std::fprintf(stderr, "page_open_bench: the main window did not reach the device\n");
        return 1;
    }
    mainWindow.Timer1.stop();
    mainWindow.Timer4.stop();
    runUntil([] { return SnmpSession::global().outstanding() == 0; }, 30000);

    waitDialogUp();  // the watch starts before the first page
    std::printf("%-30s %9s %12s %13s\n", "page", "exchanges", "time (ms)", "round trips");
    for (const PageRegistry::Page& registered : PageRegistry::inMenuOrder()) {
        const QAction* item = mainWindow.menuItem(registered.caption);
        const QString caption =
            registered.caption.trimmed() + (item && item->isVisible() ? "" : " (hidden in the menu)");
        const Opening opening = open(registered, mainWindow, delayMs);
        if (opening.milliseconds < 0)
            std::printf("%-30s %9llu %12s %13s\n", qPrintable(caption),
                        static_cast<unsigned long long>(opening.exchanges), "never usable", "-");
        else
            std::printf("%-30s %9llu %12lld %13.1f\n", qPrintable(caption),
                        static_cast<unsigned long long>(opening.exchanges),
                        static_cast<long long>(opening.milliseconds),
                        static_cast<double>(opening.milliseconds) / delayMs);
        std::fflush(stdout);
    }
    return 0;
}
