#include "fleet/BackupCommand.h"

#include "binding/DeviceVariables.h"
#include "fleet/DeviceAddress.h"
#include "fleet/DeviceLink.h"
#include "fleet/DurableStore.h"
#include "fleet/FolderCheck.h"
#include "fleet/FleetRun.h"
#include "fleet/FleetTransfers.h"
#include "fleet/TransferWatch.h"
#include "tftp/QvTFTPServer.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <memory>

using namespace FleetTransfers;

namespace {

const VariableDescriptor kServerAndFile[] = {DeviceVariables::RemoteServerIp, DeviceVariables::LocalFileName,
                                             DeviceVariables::EndOfTable};
const VariableDescriptor kCommand[] = {DeviceVariables::TftpCommand, DeviceVariables::EndOfTable};
constexpr const char* kStore = "3";
constexpr uint32_t kNamesTimeout = 100;
// The device answers the command once it has stored its file (a few blocks), as the
// configuration page expects; a retry of the same request while it works is not a second
// command.
constexpr uint32_t kCommandTimeout = 500;

// One device's backup: its link, the transfer announced to the server, the file names.
struct Backup {
    std::unique_ptr<DeviceLink> link;
    TftpExpected expected;
    QString temporary;  // in the served folder
    QString final;
    bool stored = false;  // the temporary file went to the store
};

QString FolderName(const std::string& label)
{
    QString name = QString::fromStdString(label);
    return name.replace(':', '_');
}

}  // namespace

bool RunBackup(const std::vector<FleetDevice>& devices, const std::string& folder, const FleetOptions& options,
               std::vector<DeviceOutcome>& outcomes, std::string& error, std::string& halted)
{
    halted.clear();
    const QString root = QFileInfo(QString::fromStdString(folder)).absoluteFilePath();
    // The folder must take a file before any device is asked to send one: a read-only or full
    // disk, or a folder this user may not write, is one message then, not a general error
    // from every device.
    if (std::string why; !FolderTakesFiles(root.toStdString(), why)) {
        error = "cannot write in the backup folder " + root.toStdString() + ": " + why;
        return false;
    }
    std::unique_ptr<QvTFTPServer> server = StartServer(root, options.tftpPort, error);
    if (!server)
        return false;
    TransferWatch watch(*server, options.tftpPort);
    // The devices write to temporary names of this tool's own; the store flushes each file and
    // gives it its final name, away from the event loop.
    server->WriteInPlace(true);
    DurableStore store;

    std::vector<std::unique_ptr<Backup>> backups;
    ProgressLine progress("backup", devices.size());
    const DeviceJob job = [&](size_t index, std::function<void(DeviceOutcome)> done) {
        const std::string label = devices[index].label();
        backups.push_back(std::make_unique<Backup>());
        Backup* backup = backups.back().get();
        // Whatever the end, the device's transfer is no longer admitted and no temporary file
        // stays behind.
        auto finish = [&server, &store, backup, root, label, done](bool ok, const std::string& result) {
            if (backup->link)
                backup->link->release();
            server->Forget(backup->expected);
            if (backup->temporary.isEmpty())
                return done({label, false, result, {}});
            const QString temporary = root + "/" + backup->temporary;
            const QFileInfo stored(temporary);
            if (!ok || !stored.exists() || stored.size() == 0) {
                QFile::remove(temporary);
                return done({label, false, ok ? "the device reported success but stored no file" : result, {}});
            }
            backup->stored = true;
            store.store(temporary, backup->final, [label, done](bool kept, const QString& pathOrWhy) {
                if (kept)
                    done({label, true, "saved", {{"file", pathOrWhy.toStdString()}}});
                else
                    done({label, false, pathOrWhy.toStdString(), {}});
            });
        };
        auto command = [&watch, &halted, root, backup, finish](const QvSNMPError& answer, const QvSNMPVarList&) {
            if (answer.code == 0)
                return finish(true, "saved");
            if (const int full = watch.systemError(backup->expected); full == ENOSPC || full == EDQUOT)
                halted = "the backup folder " + root.toStdString() + " has no room left (" + std::strerror(full) + ")";
            // The device only says that its transfer failed; this host knows why.
            const std::string why = watch.why(backup->expected);
            finish(false, why.empty() ? answer.message : why + "; the device answered: " + answer.message);
        };
        auto start = [&, index, backup, label, finish, command](const QHostAddress& address, const std::string& why) {
            if (address.isNull())
                return finish(false, why);
            const std::string serverAddress = LocalAddressToward(address);
            if (serverAddress.empty())
                return finish(false, "this host has no route to the device");
            backup->link = std::make_unique<DeviceLink>(devices[index], address, options.retries);
            const QString name = FolderName(label);
            backup->temporary = ".vta-fleet-" + name + ".part";
            backup->final = root + "/" + name + "/" +
                            QDateTime::currentDateTimeUtc().toString("yyyyMMdd'T'HHmmss'Z'") + ".cfg";
            // A file of that name left by a run that was killed is written over, or goes at the end.
            backup->expected = {address, backup->temporary, DeviceWrites};
            server->Expect(backup->expected);
            const std::vector<std::string> names{serverAddress, backup->temporary.toStdString()};
            backup->link->set(kServerAndFile, names, kNamesTimeout,
                              [backup, finish, command](const QvSNMPError& answer, const QvSNMPVarList&) {
                if (answer.code != 0)
                    return finish(false, "the device did not take the server and file name: " + answer.message);
                backup->link->set(kCommand, {kStore}, kCommandTimeout, command);
            });
        };
        ResolveDevice(devices[index], server.get(), start);
    };
    // On a stop signal every transfer in flight ends at once and its device is told so; the
    // backups already received are stored before the run ends.
    const auto interrupt = [&] {
        for (const auto& backup : backups)
            if (backup->link)
                backup->link->abandon();
        EndTransfers(*server);
        store.deliverNow();
    };
    outcomes = RunFleet(devices, options.parallel, job, progress, interrupt, &halted);
    // A device whose command failed may still have been sending: its transfer ends with the
    // server, and whatever it stored goes.
    server.reset();
    for (const auto& backup : backups)
        if (!backup->stored && !backup->temporary.isEmpty())
            QFile::remove(root + "/" + backup->temporary);
    return true;
}
