// The vta-devsim process around its devices: the sockets it opens and what --verbose logs.
#include "support/ChildProcess.h"
#include "support/DevsimProcess.h"
#include "support/FreePort.h"
#include "support/TftpdServer.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

const QString kTftp = "1.3.6.1.4.1.32473.10.37.24.3.3.";

// Net-SNMP's tool, SNMPv2c with the write community, numeric OIDs; its exit code.
int SnmpSet(const QString& target, const QStringList& assignments, QString* output = nullptr)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MIBS", "");
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start("snmpset", QStringList{"-On", "-v2c", "-c", "private", "-t", "5", "-r", "0", target} + assignments);
    process.waitForFinished(15000);
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// Every socket of the process that `ss` lists as listening or unconnected (TCP, UDP, raw,
// Unix), one line each.
QStringList Listeners(qint64 pid)
{
    QProcess ss;
    ss.start("ss", {"-H", "-l", "-n", "-p", "-t", "-u", "-w", "-x"});
    ss.waitForFinished(10000);
    QStringList lines;
    for (const QString& line : QString::fromUtf8(ss.readAllStandardOutput()).split('\n'))
        if (line.contains(QString("pid=%1,").arg(pid)))
            lines << line.simplified();
    return lines;
}

// Run as root the agent library would also open its SMUX sub-agent socket (TCP port 199, on
// every interface); the simulator listens only where it is told, on UDP.
TEST(DevsimProcess, ListensOnlyOnTheUdpAddressesItIsTold)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "the agent library opens its privileged listeners only for root";
    std::string error;
    const QString program = DevsimProcess::Program(error);
    ASSERT_FALSE(program.isEmpty()) << error;
    const uint16_t port = FreeUdpPort();
    const QString p = QString::number(port);
    ChildProcess simulator;
    ASSERT_TRUE(DevsimProcess::Launch(simulator, program,
                                      {"--address", "127.0.0.1", "--port", p, "--next-device", "--address",
                                       "127.0.0.2", "--port", p},
                                      "vta-devsim ready on udp:127.0.0.1:" + p + " udp:127.0.0.2:" + p, error))
        << error;
    const QStringList sockets = Listeners(simulator.process().processId());
    EXPECT_EQ(sockets.size(), 2) << sockets.join('\n').toStdString();
    for (const QString& address : {"127.0.0.1:" + p, "127.0.0.2:" + p}) {
        const QRegularExpression udp("^udp \\S+ \\d+ \\d+ " + QRegularExpression::escape(address) + " ");
        EXPECT_EQ(sockets.filter(udp).size(), 1) << address.toStdString() << " in:\n"
                                                 << sockets.join('\n').toStdString();
    }

    // A second simulator beside it starts as cleanly: no listener of the first (or of any other
    // simulator on the machine) is in its way.
    ChildProcess second;
    const QString other = QString::number(FreeUdpPort());
    ASSERT_TRUE(DevsimProcess::Launch(second, program, {"--port", other, "--verbose"},
                                      "vta-devsim ready on udp:127.0.0.1:" + other, error))
        << error;
    QThread::msleep(100);
    EXPECT_FALSE(second.output().contains("bind")) << second.output().toStdString();
}

// --verbose logs every set, also the sets that carry the transfer command (the simulator
// answers those itself, when the transfer has ended), and every TFTP transfer with its end.
TEST(DevsimProcess, VerboseLogsEverySetAndEveryTransfer)
{
    TftpdServer tftp;
    std::string error;
    ASSERT_TRUE(tftp.start(error)) << error;
    tftp.put("vta_2.10.tfp", "VTA-3100QX FW 2.10\n" + QByteArray(700, 'x'));
    const QString program = DevsimProcess::Program(error);
    ASSERT_FALSE(program.isEmpty()) << error;
    const QString port = QString::number(FreeUdpPort());
    ChildProcess simulator;
    ASSERT_TRUE(DevsimProcess::Launch(simulator, program,
                                      {"--port", port, "--verbose", "--tftp-port", QString::number(tftp.port()),
                                       "--tftp-timeout-ms", "300", "--tftp-retries", "0"},
                                      "vta-devsim ready on udp:127.0.0.1:" + port, error))
        << error;
    const QString target = "127.0.0.1:" + port;

    QString answer;
    EXPECT_EQ(SnmpSet(target, {"1.3.6.1.2.1.1.5.0", "s", "lobby-ap"}, &answer), 0) << answer.toStdString();
    EXPECT_EQ(SnmpSet(target, {kTftp + "1.0", "a", "127.0.0.1", kTftp + "2.0", "s", "vta_2.10.tfp", kTftp + "5.0",
                               "i", "1"},
                      &answer),
              0)
        << answer.toStdString();
    EXPECT_NE(SnmpSet(target, {kTftp + "2.0", "s", "missing.tfp", kTftp + "5.0", "i", "1"}, &answer), 0)
        << answer.toStdString();

    QElapsedTimer clock;
    clock.start();
    const char* const expected[] = {
        "127.0.0.1: set 1.3.6.1.2.1.1.5.0 = lobby-ap",
        "127.0.0.1: set 1.3.6.1.4.1.32473.10.37.24.3.3.1.0 = 127.0.0.1",
        "127.0.0.1: set 1.3.6.1.4.1.32473.10.37.24.3.3.2.0 = vta_2.10.tfp",
        "127.0.0.1: set 1.3.6.1.4.1.32473.10.37.24.3.3.5.0 = 1",
        "127.0.0.1: Firmware download started: vta_2.10.tfp at 127.0.0.1",
        "127.0.0.1: Firmware image vta_2.10.tfp (719 bytes) loaded",
        "127.0.0.1: set 1.3.6.1.4.1.32473.10.37.24.3.3.2.0 = missing.tfp",
        "127.0.0.1: Firmware download started: missing.tfp at 127.0.0.1",
        "127.0.0.1: Transfer of missing.tfp failed",
    };
    QString log;
    for (const char* line : expected) {
        while (!(log = QString::fromUtf8(simulator.output())).contains(line) && clock.elapsed() < 3000)
            simulator.process().waitForReadyRead(50);
        EXPECT_TRUE(log.contains(line)) << "no line \"" << line << "\" in:\n" << log.toStdString();
    }
}

}  // namespace
