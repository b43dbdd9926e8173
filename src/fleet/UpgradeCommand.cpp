#include "fleet/UpgradeCommand.h"

#include "binding/DeviceVariables.h"
#include "fleet/DeviceLink.h"
#include "fleet/FleetRun.h"
#include "fleet/FleetTransfers.h"
#include "snmp/ValueText.h"
#include "tftp/QvTFTPServer.h"

#include <QElapsedTimer>
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
// The catalogue's code for the device's refusal of an older image (its error status 19).
constexpr int kOverdueFirmware = -119;

struct Upgrade {
    std::unique_ptr<DeviceLink> link;
    TftpExpected expected;
    std::string firmwareBefore;
    QElapsedTimer sinceRestart;
};

// Ticks (hundredths of a second) of an up-time text; none when it is not one.
std::optional<uint32_t> Ticks(const std::string& text) { return ValueText::ParseTimeTicks(text); }

}  // namespace

bool RunUpgrade(const std::vector<FleetDevice>& devices, const std::string& image, const FleetOptions& options,
                std::vector<DeviceOutcome>& outcomes, std::string& error)
{
    const QFileInfo imageFile(QString::fromStdString(image));
    // The firmware page's rules for an image: an existing file with ".tfp" in its path.
    if (!imageFile.isFile() || !QString::fromStdString(image).contains(".tfp")) {
        error = "'" + image + "' is no firmware image (an existing .tfp file)";
        return false;
    }
    std::unique_ptr<QvTFTPServer> server = StartServer(imageFile.absolutePath(), options.tftpPort, error);
    if (!server)
        return false;
    const std::string imageName = imageFile.fileName().toStdString();

    std::vector<std::unique_ptr<Upgrade>> upgrades;
    ProgressLine progress("upgrade", devices.size());
    const DeviceJob job = [&](size_t index, std::function<void(DeviceOutcome)> done) {
        const FleetDevice& device = devices[index];
        const std::string label = device.label();
        const QHostAddress address = DeviceAddress(device.address);
        if (address.isNull())
            return done({label, false, "the address " + device.address + " has no IPv4 address", {}});
        const std::string serverAddress = LocalAddressToward(address);
        if (serverAddress.empty())
            return done({label, false, "this host has no route to the device", {}});

        upgrades.push_back(std::make_unique<Upgrade>());
        Upgrade& upgrade = *upgrades.back();
        upgrade.link = std::make_unique<DeviceLink>(device, options.retries);
        upgrade.expected = {address, QString::fromStdString(imageName), DeviceReads};
        auto finish = [&upgrade, label, done](bool ok, const std::string& result, const std::string& after) {
            DeviceOutcome outcome{label, ok, result, {}};
            if (!upgrade.firmwareBefore.empty())
                outcome.fields.emplace_back("before", upgrade.firmwareBefore);
            if (!after.empty())
                outcome.fields.emplace_back("after", after);
            done(outcome);
        };

        // Polls until the device answers with an up time that began after the restart.
        auto waitForRestart = std::make_shared<std::function<void()>>();
        const int timeoutMs = options.restartTimeoutSeconds * 1000;
        *waitForRestart = [&upgrade, finish, waitForRestart, timeoutMs] {
            upgrade.link->get(kRunning, [&upgrade, finish, waitForRestart, timeoutMs](const QvSNMPError& answer,
                                                                                     const QvSNMPVarList& list) {
                const std::optional<uint32_t> ticks = Ticks(list.Item(kUpTime).value);
                if (answer.code == 0 && ticks && *ticks * 10ll <= upgrade.sinceRestart.elapsed()) {
                    *waitForRestart = nullptr;  // ends the cycle of the shared function
                    return finish(true, "upgraded", list.Item(kFirmware).value);
                }
                if (upgrade.sinceRestart.elapsed() > timeoutMs) {
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

        auto restart = [&upgrade, finish, waitForRestart] {
            upgrade.sinceRestart.start();
            upgrade.link->set(kRestart, {kReboot}, kShortTimeout,
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

        auto fetch = [&upgrade, &server, finish, restart, serverAddress, imageName] {
            server->Expect(upgrade.expected);
            upgrade.link->set(kServerAndFile, {serverAddress, imageName}, kShortTimeout,
                              [&upgrade, &server, finish, restart](const QvSNMPError& named, const QvSNMPVarList&) {
                if (named.code != 0) {
                    server->Forget(upgrade.expected);
                    return finish(false, "the device did not take the server and file name: " + named.message, "");
                }
                upgrade.link->set(kCommand, {kFetchFirmware}, kCommandTimeout,
                                  [&upgrade, &server, finish, restart](const QvSNMPError& fetched,
                                                                       const QvSNMPVarList&) {
                    server->Forget(upgrade.expected);
                    if (fetched.code == kOverdueFirmware)
                        return finish(false, "refused: the device runs a newer firmware than the image (" +
                                                 fetched.message + ")", "");
                    if (fetched.code != 0)
                        return finish(false, fetched.message, "");
                    restart();
                });
            });
        };

        upgrade.link->get(kRunning, [&upgrade, finish, fetch](const QvSNMPError& answer, const QvSNMPVarList& list) {
            if (answer.code != 0)
                return finish(false, answer.message, "");
            upgrade.firmwareBefore = list.Item(kFirmware).value;
            fetch();
        });
    };
    outcomes = RunFleet(devices.size(), std::min(options.parallel, options.maxParallel), job, progress);
    return true;
}
