// Walks four columns of the simulated access point's client table with QvSNMPRequest in its
// waiting form (row by row, read ahead with get-bulk) and prints the time of each run and
// their median.
//   walk_bench --port PORT [--rows N] [--runs R] [--address A] [--community C]
// Exits 1 when a run does not return exactly N rows (default 1000).
#include "ClientTableColumns.h"
#include "snmp/QvException.h"
#include "snmp/QvSNMPRequest.h"
#include "snmp/QvSNMPStartup.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: walk_bench --port PORT [--rows N] [--runs R] [--address A] [--community C]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    int port = 0, rows = 1000, runs = 5;
    std::string address = "127.0.0.1", community = "public";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--port")
            port = std::atoi(argv[i + 1]);
        else if (name == "--rows")
            rows = std::atoi(argv[i + 1]);
        else if (name == "--runs")
            runs = std::atoi(argv[i + 1]);
        else if (name == "--address")
            address = argv[i + 1];
        else if (name == "--community")
            community = argv[i + 1];
        else
            return usage();
    }
    if (port <= 0 || port > 65535 || runs <= 0 || (argc - 1) % 2)
        return usage();

    QTemporaryDir folder;
    std::vector<double> times;
    try {
        QvSNMPStartup(folder.path().toStdString());
        for (int run = 0; run < runs; ++run) {
            QvSNMPRequest request;
            request.address = address;
            request.port = static_cast<uint16_t>(port);
            request.version = 1;
            request.readCommunity = community;
            request.list.Assign(QvSNMPVarList(kClients, kListTableUnlisted, 2));
            int errors = 0;
            request.errorCallback = [&](const QvSNMPError& error) {
                ++errors;
                std::fprintf(stderr, "walk_bench: %s (%d)\n", error.message.c_str(), error.code);
            };
            QElapsedTimer clock;
            clock.start();
            bool ok = true;
            int found = 0;
            for (bool first = true; request.GetSync(first, ok); first = false)
                ++found;
            const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            if (!ok || errors || found != rows) {
                std::fprintf(stderr, "walk_bench: run %d read %d rows, expected %d\n", run + 1, found, rows);
                return 1;
            }
            std::printf("ours run %d: %.1f ms, %d rows\n", run + 1, ms, found);
            times.push_back(ms);
        }
    } catch (const QvException& error) {
        std::fprintf(stderr, "walk_bench: %s (%d)\n", error.what(), error.code());
        return 1;
    }
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    const double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    std::printf("ours median: %.1f ms\n", median);
    return 0;
}
