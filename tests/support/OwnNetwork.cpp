#include "support/OwnNetwork.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

namespace {

const char* kMarker = "VTA_TEST_IN_OWN_NETWORK";
constexpr int kSetUpFailed = 77;

} // namespace

bool InOwnNetwork() { return qEnvironmentVariableIsSet(kMarker); }

OwnNetworkRun RunInOwnNetwork(const QString& filter)
{
    OwnNetworkRun run;
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(kMarker, "1");
    child.setProcessEnvironment(environment);
    // The folder a fixture worked in may be gone already.
    child.setWorkingDirectory(QCoreApplication::applicationDirPath());
    // An unprivileged user namespace gives the rights to configure the new network one.
    child.start("unshare", {"-rn", "sh", "-c",
                            "ip link set lo up && ip addr add 10.9.8.1/32 dev lo && ip route add 10.9.8.0/24 dev lo "
                            "|| exit 77; exec \"$0\" --gtest_filter=\"$1\"",
                            QCoreApplication::applicationFilePath(), filter});
    if (!child.waitForStarted(10000) || !child.waitForFinished(300000)) {
        run.output = "unshare did not run: " + child.errorString();
        return run;
    }
    run.output = QString::fromLocal8Bit(child.readAll());
    // Only a namespace that could not be made skips; a run that crashed fails.
    if (child.exitStatus() == QProcess::NormalExit && child.exitCode() != 0 &&
        (child.exitCode() == kSetUpFailed || run.output.startsWith("unshare:")))
        return run;
    run.started = true;
    run.passed = child.exitCode() == 0 && !run.output.contains("[  SKIPPED ]") &&
                 run.output.contains("[  PASSED  ]");
    return run;
}
