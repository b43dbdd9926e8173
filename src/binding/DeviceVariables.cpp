#include "binding/DeviceVariables.h"

namespace {

const OptionRow kRestartRows[] = {{0, "nothing"}, {1, "reboot"}, {0, nullptr}};
const OptionRow kGetIpFromRows[] = {{1, "Static (Manual)"}, {2, "Dynamic (DHCP)"}, {0, nullptr}};
const OptionRow kTftpCommandRows[] = {{1, "Connect"}, {2, "Get"}, {3, "Put"}, {4, "Nothing"}, {0, nullptr}};
const OptionRow kOffOnRows[] = {{0, "OFF"}, {1, "ON"}, {0, nullptr}};
const OptionRow kDisableEnableRows[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const OptionRow kApModeRows[] = {{1, "Access Point"}, {2, "WDS with AP"}, {3, "WDS"}, {4, "AP Repeater"},
                                 {5, "AP Client"}, {0, nullptr}};
const OptionRow kSuperModeRows[] = {{1, "Super Mode without Turbo"}, {2, "Super Mode with Dynamic Turbo"},
                                    {3, "Disable"}, {0, nullptr}};

} // namespace

namespace DeviceVariables {

const QvOptionList RestartOptions(kRestartRows);
const QvOptionList GetIpFromOptions(kGetIpFromRows);
const QvOptionList TftpCommandOptions(kTftpCommandRows);
const QvOptionList OffOnOptions(kOffOnRows);
const QvOptionList DisableEnableOptions(kDisableEnableRows);
const QvOptionList ApModeOptions(kApModeRows);
const QvOptionList SuperModeOptions(kSuperModeRows);

const VariableDescriptor DhcpDynamicPool[] = {
    {VTA_OID(".2.7.2.1"), "Dynamic IP Start", kSyntaxIpAddress, kAccessReadWrite},
    {VTA_OID(".2.7.2.2"), "Dynamic Range", kSyntaxInteger, kAccessReadWrite},
    {VTA_OID(".2.7.2.3"), "Dynamic Mask", kSyntaxIpAddress, kAccessReadWrite},
    {VTA_OID(".2.7.2.4"), "Dynamic Gateway", kSyntaxIpAddress, kAccessReadWrite},
    {VTA_OID(".2.7.2.5"), "Dynamic Wins", kSyntaxIpAddress, kAccessReadWrite},
    {VTA_OID(".2.7.2.6"), "Dynamic Dns", kSyntaxIpAddress, kAccessReadWrite},
    {VTA_OID(".2.7.2.7"), "Dynamic Domain", kSyntaxDisplayString, kAccessReadWrite},
    {VTA_OID(".2.7.2.8"), "Dynamic Lease", kSyntaxInteger, kAccessReadWrite},
    {VTA_OID(".2.7.2.9"), "Dynamic Status", kSyntaxInteger, kAccessReadWrite, &OffOnOptions},
    EndOfTable,
};

const VariableDescriptor DhcpStaticLeases[] = {
    {VTA_OID(".2.7.3.1.1"), "Index", kSyntaxInteger, kAccessNotAccessible},
    {VTA_OID(".2.7.3.1.2"), "IP", kSyntaxIpAddress, kAccessReadWrite},
    {VTA_OID(".2.7.3.1.3"), "MAC", kSyntaxMacAddress, kAccessReadWrite},
    {VTA_OID(".2.7.3.1.4"), "Mask", kSyntaxIpAddress, kAccessReadWrite},
    {VTA_OID(".2.7.3.1.5"), "Gateway", kSyntaxIpAddress, kAccessReadWrite},
    {VTA_OID(".2.7.3.1.6"), "Wins", kSyntaxIpAddress, kAccessReadWrite},
    {VTA_OID(".2.7.3.1.7"), "DNS", kSyntaxIpAddress, kAccessReadWrite},
    {VTA_OID(".2.7.3.1.8"), "Domain", kSyntaxDisplayString, kAccessReadWrite},
    {VTA_OID(".2.7.3.1.9"), "Status", kSyntaxInteger, kAccessReadWrite, &OffOnOptions},
    EndOfTable,
};

} // namespace DeviceVariables
