// Fills the system log page ("Get Log") or the client information page (its first read) from
// a device and prints how long the fill took and the longest pause of the event loop meanwhile
// (a 5 ms timer notes every gap), one line per run:
//   fill 812 ms, longest pause 9 ms, rows 10001
//   page_fill_bench --port PORT --page log|client [--runs R]
// Exits 1 when the page shows no rows.
#include "pages/advanced/TLogForm.h"
#include "pages/status/TClientInformation.h"
#include "platform/Dialogs.h"
#include "snmp/QvSNMPStartup.h"
#include "snmp/SnmpSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

// Runs the event loop until done() holds, noting the longest gap between timer ticks.
qint64 runNoting(const std::function<bool()>& done, qint64& longestPause)
{
    QElapsedTimer clock, gap;
    clock.start();
    gap.start();
    longestPause = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestPause = std::max(longestPause, gap.restart());
    });
    ticker.start();
    while (!done() && clock.elapsed() < 600000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    longestPause = std::max(longestPause, gap.elapsed());
    return clock.elapsed();
}

int usage()
{
    std::fprintf(stderr, "usage: page_fill_bench --port PORT --page log|client [--runs R]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    int port = 0, runs = 1;
    std::string page;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--port")
            port = std::atoi(argv[i + 1]);
        else if (name == "--page")
            page = argv[i + 1];
        else if (name == "--runs")
            runs = std::atoi(argv[i + 1]);
        else
            return usage();
    }
    if (port <= 0 || port > 65535 || runs <= 0 || (page != "log" && page != "client") || (argc - 1) % 2)
        return usage();

    QTemporaryDir folder;
    QvSNMPStartup(folder.path().toStdString());
    SetDefaultSnmpSettings();
    QvSNMPDevice.address = "127.0.0.1";
    QvSNMPDevice.port = static_cast<uint16_t>(port);
    QvSNMPSecurity.version = 1;
    QvSNMPSecurity.readCommunity = "public";
    QvSNMPSecurity.writeCommunity = "private";

    for (int run = 1; run <= runs; ++run) {
        qint64 pause = 0, elapsed = 0;
        int rows = 0;
        if (page == "log") {
            TLogForm form;
            form.show();
            QCoreApplication::processEvents();
            form.findChild<QPushButton*>("GetBtn")->click();
            elapsed = runNoting([&] { return form.findChild<QPushButton*>("CloseBtn")->isEnabled(); }, pause);
            rows = form.findChild<QTreeWidget*>("ViewListView")->topLevelItemCount();
        } else {
            QElapsedTimer opening;
            opening.start();
            TClientInformation form;
            form.show();
            runNoting([&] { return !form.Busy(); }, pause);
            elapsed = opening.elapsed();
            rows = form.findChild<QTreeWidget*>("User_ListView")->topLevelItemCount();
        }
        std::printf("fill %lld ms, longest pause %lld ms, rows %d\n", static_cast<long long>(elapsed),
                    static_cast<long long>(pause), rows);
        std::fflush(stdout);
        if (rows == 0)
            return 1;
    }
    return 0;
}
