#include "fleet/BackupCommand.h"

#include "binding/DeviceVariables.h"
#include "fleet/DeviceLink.h"
#include "fleet/DurableStore.h"
#include "fleet/FleetRun.h"
#include "fleet/FleetTransfers.h"
#include "tftp/QvTFTPServer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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
               std::vector<DeviceOutcome>& outcomes, std::string& error)
{
    const QString root = QFileInfo(QString::fromStdString(folder)).absoluteFilePath();
    if (!QDir().mkpath(root)) {
        error = "cannot create the folder " + folder;
        return false;
    }
    std::unique_ptr<QvTFTPServer> server = StartServer(root, options.tftpPort, error);
    if (!server)
        return false;
    // The devices write to temporary names of this tool's own; the store flushes each file and
    // gives it its final name, away from the event loop.
    server->WriteInPlace(true);
    DurableStore store;

    std::vector<std::unique_ptr<Backup>> backups;
    ProgressLine progress("backup", devices.size());
    const DeviceJob job = [&](size_t index, std::function<void(DeviceOutcome)> done) {
        const FleetDevice& device = devices[index];
        const std::string label = device.label();
        auto fail = [label, done](const std::string& why) { done({label, false, why, {}}); };
        const QHostAddress address = DeviceAddress(device.address);
        if (address.isNull())
            return fail("the address " + device.address + " has no IPv4 address");
        const std::string serverAddress = LocalAddressToward(address);
        if (serverAddress.empty())
            return fail("this host has no route to the device");

        backups.push_back(std::make_unique<Backup>());
        Backup& backup = *backups.back();
        backup.link = std::make_unique<DeviceLink>(device, options.retries);
        const QString name = FolderName(label);
        backup.temporary = ".vta-fleet-" + name + ".part";
        backup.final = root + "/" + name + "/" +
                       QDateTime::currentDateTimeUtc().toString("yyyyMMdd'T'HHmmss'Z'") + ".cfg";
        // A file of that name left by a run that was killed is written over, or goes at the end.
        backup.expected = {address, backup.temporary, DeviceWrites};
        server->Expect(backup.expected);

        // Whatever the end, the device's transfer is no longer admitted and no temporary
        // file stays behind.
        auto finish = [&server, &store, &backup, root, label, done](bool ok, const std::string& result) {
            server->Forget(backup.expected);
            const QString temporary = root + "/" + backup.temporary;
            const QFileInfo stored(temporary);
            if (!ok || !stored.exists() || stored.size() == 0) {
                QFile::remove(temporary);
                return done({label, false, ok ? "the device reported success but stored no file" : result, {}});
            }
            backup.stored = true;
            store.store(temporary, backup.final, [label, done](bool kept, const QString& pathOrWhy) {
                if (kept)
                    done({label, true, "saved", {{"file", pathOrWhy.toStdString()}}});
                else
                    done({label, false, pathOrWhy.toStdString(), {}});
            });
        };
        const std::vector<std::string> names{serverAddress, backup.temporary.toStdString()};
        backup.link->set(kServerAndFile, names, kNamesTimeout,
                         [&backup, finish](const QvSNMPError& answer, const QvSNMPVarList&) {
            if (answer.code != 0)
                return finish(false, "the device did not take the server and file name: " + answer.message);
            backup.link->set(kCommand, {kStore}, kCommandTimeout, [finish](const QvSNMPError& stored,
                                                                           const QvSNMPVarList&) {
                finish(stored.code == 0, stored.code == 0 ? "saved" : stored.message);
            });
        });
    };
    outcomes = RunFleet(devices.size(), options.parallel, job, progress);
    // A device whose command failed may still have been sending: its transfer ends with the
    // server, and whatever it stored goes.
    server.reset();
    for (const auto& backup : backups)
        if (!backup->stored)
            QFile::remove(root + "/" + backup->temporary);
    return true;
}
