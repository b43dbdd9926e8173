#include "support/DeviceTools.h"

#include "support/PageTestKit.h"

#include <QProcess>

bool ToolSet(uint16_t port, const QString& oid, const QString& type, const QString& value)
{
    QProcess tool;
    tool.start("snmpset", {"-v2c", "-c", "private", "-On", "-t", "1", "-r", "1",
                           QString("127.0.0.1:%1").arg(port), oid, type, value});
    return tool.waitForFinished(10000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

bool ToolGetAnswers(uint16_t port, const QString& oid)
{
    QProcess tool;
    tool.start("snmpget", {"-v2c", "-c", "public", "-On", "-t", "0.3", "-r", "0",
                           QString("127.0.0.1:%1").arg(port), oid});
    return tool.waitForFinished(5000) && tool.exitCode() == 0;
}

void restartDevice(uint16_t port)
{
    ASSERT_TRUE(ToolSet(port, VTA_OID(".3.2.1.0"), "i", "1"));
    runFor(300);
    ASSERT_TRUE(waitFor([&] { return ToolGetAnswers(port, VTA_OID(".4.4.0")); }, 10000));
}
