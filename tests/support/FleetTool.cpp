#include "support/FleetTool.h"

#include "support/AnotherUser.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <unistd.h>

QJsonObject FleetResult::outcome(const QString& device) const
{
    for (const QJsonValue& entry : outcomes)
        if (entry.toObject().value("device").toString() == device)
            return entry.toObject();
    return {};
}

QProcessEnvironment FleetEnvironment(const QString& home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home);
    environment.remove("XDG_DATA_HOME");
    return environment;
}

bool CanRunAsNobody() { return another_user::available(); }

FleetResult RunFleetTool(const QStringList& arguments, const QProcessEnvironment& environment,
                         const FleetRunOptions& options)
{
    const QString program = QStringLiteral(VTA_BIN_DIR) + "/vta-fleet";
    QProcess fleet;
    fleet.setProcessEnvironment(environment);
    if (options.asNobody) {
        fleet.setChildProcessModifier([] {
            if (::setgid(another_user::kNobody) != 0 || ::setuid(another_user::kNobody) != 0)
                ::_exit(126);
        });
    }
    if (options.wrapper.isEmpty())
        fleet.start(program, arguments);
    else
        fleet.start(options.wrapper.front(), options.wrapper.mid(1) + QStringList{program} + arguments);
    FleetResult result;
    if (!fleet.waitForFinished(options.timeoutMs)) {
        fleet.kill();
        fleet.waitForFinished();
        return result;
    }
    result.exitCode = fleet.exitStatus() == QProcess::NormalExit ? fleet.exitCode() : -1;
    result.output = QString::fromUtf8(fleet.readAllStandardOutput());
    result.errors = QString::fromUtf8(fleet.readAllStandardError());
    result.outcomes = QJsonDocument::fromJson(result.output.toUtf8()).array();
    return result;
}
