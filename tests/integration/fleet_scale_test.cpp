// A site of over a thousand devices: vta-fleet checks every one in a few seconds, also where the
// usual limit of 1,024 open descriptors holds (a session per device passes it).
#include "support/DevsimProcess.h"
#include "support/FleetTool.h"
#include "support/FreePort.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/resource.h>

namespace {

constexpr int kDevices = 1100;

TEST(FleetScale, StatusOfAThousandDevicesTakesAFewSeconds)
{
    std::string error;
    const QString program = DevsimProcess::Program(error);
    ASSERT_FALSE(program.isEmpty()) << error;
    QTemporaryDir folder;
    // Consecutive addresses of a network of the test's own, from .1 on.
    const quint32 pick = QRandomGenerator::global()->bounded(0u, 200u * 50u);
    const QString first = QString("127.%1.%2.1").arg(pick / 50 + 20).arg(pick % 50 * 5);
    ChildProcess simulator;
    uint16_t port = 0;
    for (int attempt = 0; attempt < 3 && port == 0; ++attempt) {
        const uint16_t candidate = FreeUdpPort();
        if (DevsimProcess::Launch(simulator, program,
                                  {"--address", first, "--port", QString::number(candidate), "--devices",
                                   QString::number(kDevices)},
                                  "vta-devsim ready on", error))
            port = candidate;
    }
    ASSERT_NE(port, 0) << error;
    QFile list(folder.filePath("site.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    const quint32 base = QHostAddress(first).toIPv4Address();
    for (quint32 i = 0; i < kDevices; ++i)
        list.write((QHostAddress(base + i).toString() + ":" + QString::number(port) + "\n").toUtf8());
    list.close();

    QProcess fleet;
    fleet.setProcessEnvironment(FleetEnvironment(folder.path()));
    fleet.setChildProcessModifier([] {
        rlimit files{};
        if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_max > 1024) {
            files.rlim_cur = 1024;  // the usual soft limit
            setrlimit(RLIMIT_NOFILE, &files);
        }
    });
    QElapsedTimer clock;
    clock.start();
    fleet.start(QStringLiteral(VTA_BIN_DIR) + "/vta-fleet",
                {"--devices", list.fileName(), "--json", "status"});
    ASSERT_TRUE(fleet.waitForFinished(60000));
    const qint64 took = clock.elapsed();
    EXPECT_EQ(fleet.exitCode(), 0) << fleet.readAllStandardError().toStdString();
    const QJsonArray outcomes = QJsonDocument::fromJson(fleet.readAllStandardOutput()).array();
    ASSERT_EQ(outcomes.size(), kDevices);
    int reachable = 0;
    for (const QJsonValue& entry : outcomes)
        reachable += entry.toObject().value("result").toString() == "reachable";
    EXPECT_EQ(reachable, kDevices);
    EXPECT_LT(took, 10000) << "a thousand devices took " << took << " ms";
}

}  // namespace
