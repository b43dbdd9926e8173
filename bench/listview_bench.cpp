// Walks four columns of the simulated access point's client table into a shown list view, as
// a page does (a notifying table walk of a binding), and prints for each run the time until
// the last row is in the view and the longest pause of the event loop meanwhile.
//   listview_bench --port PORT [--rows N] [--runs R]
// Exits 1 when a run does not end with exactly N rows in the view.
#include "ClientTableColumns.h"
#include "binding/QvSNMPRequest2Edits.h"
#include "snmp/QvException.h"
#include "snmp/QvSNMPStartup.h"
#include "snmp/SnmpSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Run {
    double ms = 0;
    int rows = 0;
    qint64 longestPauseMs = 0;
};

Run fill(QTreeWidget& view, int port)
{
    QvSNMPRequest2Edits binding(view.window());
    binding.request.list.Assign(QvSNMPVarList(kClients, kListTableUnlisted, 2));
    binding.request.port = static_cast<uint16_t>(port);
    binding.BindListView(&view, false);
    binding.OnGetDone = [](QvSNMPRequest2Controls&, const QvSNMPError& record) {
        if (record.code != 0)
            std::fprintf(stderr, "listview_bench: %s (%d)\n", record.message.c_str(), record.code);
    };
    // A timer that should tick every millisecond: the longest gap is the longest pause.
    Run run;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        run.longestPauseMs = std::max(run.longestPauseMs, sinceTick.restart());
    });
    QElapsedTimer clock;
    clock.start();
    sinceTick.start();
    ticker.start(1);
    binding.Get();
    while (binding.Busy)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    ticker.stop();
    run.ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    run.rows = view.topLevelItemCount();
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    int port = 0, rows = 10000, runs = 1;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--port")
            port = std::atoi(argv[i + 1]);
        else if (name == "--rows")
            rows = std::atoi(argv[i + 1]);
        else if (name == "--runs")
            runs = std::atoi(argv[i + 1]);
    }
    if (port <= 0 || port > 65535 || runs <= 0) {
        std::fprintf(stderr, "usage: listview_bench --port PORT [--rows N] [--runs R]\n");
        return 2;
    }
    QTemporaryDir folder;
    try {
        QvSNMPStartup(folder.path().toStdString());
        QvSNMPDevice.address = "127.0.0.1";
        QvSNMPDevice.port = static_cast<uint16_t>(port);
        QWidget window;
        window.resize(640, 480);
        QTreeWidget view(&window);
        view.resize(640, 480);
        window.show();
        for (int r = 1; r <= runs; ++r) {
            const Run run = fill(view, port);
            std::printf("listview run %d: %.1f ms, %d rows, longest pause %lld ms\n", r, run.ms, run.rows,
                        static_cast<long long>(run.longestPauseMs));
            if (run.rows != rows) {
                std::fprintf(stderr, "listview_bench: run %d showed %d rows, expected %d\n", r, run.rows, rows);
                return 1;
            }
        }
    } catch (const QvException& error) {
        std::fprintf(stderr, "listview_bench: %s (%d)\n", error.what(), error.code());
        return 1;
    }
    return 0;
}
