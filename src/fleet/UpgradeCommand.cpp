#include "fleet/UpgradeCommand.h"

#include "binding/DeviceVariables.h"
#include "fleet/DeviceAddress.h"
#include "fleet/DeviceLink.h"
#include "fleet/FirmwareVersion.h"
#include "fleet/FleetRun.h"
#include "fleet/FleetTransfers.h"
#include "fleet/TransferWatch.h"
#include "snmp/ValueText.h"
#include "tftp/QvTFTPServer.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <optional>

using namespace FleetTransfers;

namespace {

enum RunningItem { kUpTime, kFirmware };
const VariableDescriptor kRunning[] = {
    {"1.3.6.1.2.1.1.3", "sysUpTime", kSyntaxTimeTicks, kAccessReadOnly},
    DeviceVariables::StFirmwareVersion,
    DeviceVariables::EndOfTable,
};
const VariableDescriptor kServerAndFile[] = {DeviceVariables::RemoteServerIp, DeviceVariables::RemoteFileName,
                                             DeviceVariables::EndOfTable};
const VariableDescriptor kCommand[] = {DeviceVariables::TftpCommand, DeviceVariables::EndOfTable};
const VariableDescriptor kRestart[] = {DeviceVariables::SysRestart, DeviceVariables::EndOfTable};
constexpr const char* kFetchFirmware = "1";
constexpr const char* kReboot = "1";
// The device answers the command once it has fetched and checked the image.
constexpr uint32_t kCommandTimeout = 5000;
constexpr uint32_t kShortTimeout = 100;
constexpr int kPollMilliseconds = 1000;
// After a stop, how long a device under way may take to say what it runs.
constexpr uint32_t kGlanceTimeout = 100;
// The catalogue's code for the device's refusal of an older image (its error status 19).
constexpr int kOverdueFirmware = -119;

struct Upgrade {
    size_t device = 0;  // its index in the run
    std::unique_ptr<DeviceLink> link;
    TftpExpected expected;
    std::string firmwareBefore;
    QElapsedTimer sinceRestart;
    // The poll that waits for the device after its restart; emptied to end it.
    std::shared_ptr<std::function<void()>> waitForRestart = std::make_shared<std::function<void()>>();
};

// Ticks (hundredths of a second) of an up-time text; none when it is not one.
std::optional<uint32_t> Ticks(const std::string& text) { return ValueText::ParseTimeTicks(text); }

struct FirmwareImage {
    QString folder;
    QString fileName;
    std::optional<FirmwareVersion> version;  // none when the image names none
};

// The image must be one before any device is asked to fetch it: a firmware file (".tfp", in
// any case) that this user can read and that is not empty.
bool CheckImage(const std::string& path, FirmwareImage& image, std::string& error)
{
    const QFileInfo info(QString::fromStdString(path));
    if (!info.isFile() || !info.fileName().endsWith(".tfp", Qt::CaseInsensitive)) {
        error = "'" + path + "' is no firmware image (an existing .tfp file)";
        return false;
    }
    QFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot read the image " + path + ": " + file.errorString().toStdString();
        return false;
    }
    if (file.size() == 0) {
        error = "the image " + path + " is empty";
        return false;
    }
    image.folder = info.absolutePath();
    image.fileName = info.fileName();
    image.version = ImageVersion(file.read(128).toStdString(), image.fileName.toStdString());
    return true;
}

// After a stop: each device that was under way is asked once, briefly, what it runs. One that
// took the image and came back on its version is upgraded; the others stay interrupted, with
// the version they run where they said it.
void ReportWhatTheyRun(const std::vector<std::unique_ptr<Upgrade>>& upgrades, const FirmwareImage& image,
                       std::vector<DeviceOutcome>& outcomes)
{
    QEventLoop loop;
    size_t asked = 0;
    for (const auto& upgrade : upgrades) {
        if (outcomes[upgrade->device].ending != DeviceOutcome::Ending::Interrupted || !upgrade->link)
            continue;
        ++asked;
        upgrade->link->getOnce(kRunning, kGlanceTimeout, [&, upgrade = upgrade.get()](const QvSNMPError& answer,
                                                                                     const QvSNMPVarList& list) {
            DeviceOutcome& outcome = outcomes[upgrade->device];
            if (!upgrade->firmwareBefore.empty())
                outcome.fields.emplace_back("before", upgrade->firmwareBefore);
            if (answer.code == 0) {
                const std::string running = list.Item(kFirmware).value;
                outcome.fields.emplace_back("after", running);
                const std::optional<FirmwareVersion> now = ParseVersion(running);
                if (image.version && now == image.version && ParseVersion(upgrade->firmwareBefore) != now) {
                    outcome.ok = true;
                    outcome.result = "upgraded";
                    outcome.ending = DeviceOutcome::Ending::Finished;
                }
            }
            upgrade->link->release();
            if (--asked == 0)
                loop.quit();
        });
    }
    if (asked > 0)
        loop.exec();
}

}  // namespace

bool RunUpgrade(const std::vector<FleetDevice>& devices, const std::string& image, const FleetOptions& options,
                std::vector<DeviceOutcome>& outcomes, std::string& error)
{
    FirmwareImage firmware;
    if (!CheckImage(image, firmware, error))
        return false;
    std::unique_ptr<QvTFTPServer> server = StartServer(firmware.folder, options.tftpPort, error);
    if (!server)
        return false;
    TransferWatch watch(*server, options.tftpPort);
    const std::string imageName = firmware.fileName.toStdString();

    std::vector<std::unique_ptr<Upgrade>> upgrades;
    ProgressLine progress("upgrade", devices.size());
    const DeviceJob job = [&](size_t index, std::function<void(DeviceOutcome)> done) {
        const std::string label = devices[index].label();
        upgrades.push_back(std::make_unique<Upgrade>());
        Upgrade* upgrade = upgrades.back().get();
        upgrade->device = index;
        auto finish = [upgrade, label, done](bool ok, const std::string& result, const std::string& after) {
            if (upgrade->link)
                upgrade->link->release();
            DeviceOutcome outcome{label, ok, result, {}};
            if (!upgrade->firmwareBefore.empty())
                outcome.fields.emplace_back("before", upgrade->firmwareBefore);
            if (!after.empty())
                outcome.fields.emplace_back("after", after);
            done(outcome);
        };

        // Polls until the device answers with an up time that began after the restart.
        auto waitForRestart = upgrade->waitForRestart;
        const int timeoutMs = options.restartTimeoutSeconds * 1000;
        *waitForRestart = [upgrade, finish, waitForRestart, timeoutMs] {
            upgrade->link->get(kRunning, [upgrade, finish, waitForRestart, timeoutMs](const QvSNMPError& answer,
                                                                                   const QvSNMPVarList& list) {
                const std::optional<uint32_t> ticks = Ticks(list.Item(kUpTime).value);
                if (answer.code == 0 && ticks && *ticks * 10ll <= upgrade->sinceRestart.elapsed()) {
                    *waitForRestart = nullptr;  // ends the cycle of the shared function
                    return finish(true, "upgraded", list.Item(kFirmware).value);
                }
                if (upgrade->sinceRestart.elapsed() > timeoutMs) {
                    *waitForRestart = nullptr;
                    return finish(false, "the device did not come back within " + std::to_string(timeoutMs / 1000) +
                                             " s of its restart",
                                  "");
                }
                QTimer::singleShot(kPollMilliseconds, [waitForRestart] {
                    if (*waitForRestart)
                        (*waitForRestart)();
                });
            });
        };

        auto restart = [upgrade, finish, waitForRestart] {
            upgrade->sinceRestart.start();
            upgrade->link->set(kRestart, {kReboot}, kShortTimeout,
                               [finish, waitForRestart](const QvSNMPError& answer, const QvSNMPVarList&) {
                // A device may go silent before its answer arrives; only a refusal is final.
                if (answer.code != 0 && answer.errorIndex > 0) {
                    *waitForRestart = nullptr;
                    return finish(false, "the device refused the restart: " + answer.message, "");
                }
                QTimer::singleShot(kPollMilliseconds, [waitForRestart] {
                    if (*waitForRestart)
                        (*waitForRestart)();
                });
            });
        };

        auto fetched = [&server, &watch, upgrade, finish, restart](const QvSNMPError& answer, const QvSNMPVarList&) {
            server->Forget(upgrade->expected);
            if (answer.code == kOverdueFirmware)
                return finish(false, "refused: the device runs a newer firmware than the image (" + answer.message + ")",
                              "");
            if (answer.code != 0) {
                // The device only says that its fetch failed; this host knows why.
                const std::string why = watch.why(upgrade->expected);
                return finish(false, why.empty() ? answer.message : why + "; the device answered: " + answer.message, "");
            }
            restart();
        };

        auto fetch = [&server, upgrade, finish, fetched, imageName](const std::string& serverAddress) {
            server->Expect(upgrade->expected);
            upgrade->link->set(kServerAndFile, {serverAddress, imageName}, kShortTimeout,
                               [&server, upgrade, finish, fetched](const QvSNMPError& named, const QvSNMPVarList&) {
                if (named.code != 0) {
                    server->Forget(upgrade->expected);
                    return finish(false, "the device did not take the server and file name: " + named.message, "");
                }
                upgrade->link->set(kCommand, {kFetchFirmware}, kCommandTimeout, fetched);
            });
        };

        auto start = [&, index, upgrade, finish, fetch](const QHostAddress& address, const std::string& why) {
            if (address.isNull())
                return finish(false, why, "");
            const std::string serverAddress = LocalAddressToward(address);
            if (serverAddress.empty())
                return finish(false, "this host has no route to the device", "");
            upgrade->link = std::make_unique<DeviceLink>(devices[index], address, options.retries);
            upgrade->expected = {address, firmware.fileName, DeviceReads};
            upgrade->link->get(kRunning, [upgrade, finish, fetch, serverAddress, &firmware, &options](
                                             const QvSNMPError& answer, const QvSNMPVarList& list) {
                if (answer.code != 0)
                    return finish(false, answer.message, "");
                upgrade->firmwareBefore = list.Item(kFirmware).value;
                if (!options.force && firmware.version && ParseVersion(upgrade->firmwareBefore) == firmware.version)
                    return finish(true, "already " + upgrade->firmwareBefore, "");
                fetch(serverAddress);
            });
        };
        ResolveDevice(devices[index], server.get(), start);
    };
    // On a stop signal every fetch in flight ends at once and its device is told so; devices
    // that restart are no longer waited for. The exchanges are given up first, as the backup
    // does: a device whose transfer is cut answers its command with an error, which is the
    // stop's doing, not the device's failure.
    const auto interrupt = [&] {
        for (const auto& upgrade : upgrades) {
            *upgrade->waitForRestart = nullptr;
            if (upgrade->link)
                upgrade->link->abandon();
        }
        EndTransfers(*server);
    };
    outcomes = RunFleet(devices, std::min(options.parallel, options.maxParallel), job, progress, interrupt);
    for (const auto& upgrade : upgrades)
        *upgrade->waitForRestart = nullptr;  // the poll holds itself
    ReportWhatTheyRun(upgrades, firmware, outcomes);
    return true;
}
