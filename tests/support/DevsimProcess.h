#pragma once

#include "support/ChildProcess.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <string>

// What DevsimAgent (one device) and DevsimSite (several) do with the vta-devsim process.
namespace DevsimProcess {

// The simulator as built, or empty (with the reason in `error`) when it is not.
QString Program(std::string& error);
// Starts the simulator and waits up to 10 s for its ready line to contain `ready`; stops it
// again and says why in `error` when it does not come.
bool Launch(ChildProcess& process, const QString& program, const QStringList& arguments, const QString& ready,
            std::string& error);
// A fresh dump of the state (SIGUSR1) from `stateFile`: its "variables" object, or empty.
QJsonObject Variables(ChildProcess& process, const QString& stateFile);
// One variable's value as text (numbers without a fraction).
QString Value(const QJsonObject& variables, const QString& instanceOid);

}  // namespace DevsimProcess
