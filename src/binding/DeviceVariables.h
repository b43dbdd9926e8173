#pragma once

#include "snmp/QvOptionList.h"
#include "snmp/VariableDescriptor.h"

// The device's variables that more than one place uses, written once. A page composes its
// descriptor tables from these rows and its own, e.g.
//   const VariableDescriptor kTable[] = {DeviceVariables::SysRestart, DeviceVariables::EndOfTable};
// Variables only one page uses stay in that page, spelt with VTA_OID.

// The device's private subtree; VTA_OID(".4.4") is the full dotted OID of stLED.
#define VTA_ENTERPRISE_OID "1.3.6.1.4.1.32473.10.37.24"
#define VTA_OID(suffix) VTA_ENTERPRISE_OID suffix

namespace DeviceVariables {

// Option lists.
extern const QvOptionList RestartOptions;    // 0 "nothing", 1 "reboot"
extern const QvOptionList GetIpFromOptions;  // 1 "Static (Manual)", 2 "Dynamic (DHCP)"
extern const QvOptionList TftpCommandOptions;  // 1 "Connect", 2 "Get", 3 "Put", 4 "Nothing"
extern const QvOptionList OffOnOptions;        // 0 "OFF", 1 "ON"
extern const QvOptionList DisableEnableOptions;  // 0 "Disable", 1 "Enable"
extern const QvOptionList ApModeOptions;         // 1 "Access Point", 2 "WDS with AP", 3 "WDS", 4 "AP Repeater", 5 "AP Client"
extern const QvOptionList SuperModeOptions;      // 1 "Super Mode without Turbo", 2 "... with Dynamic Turbo", 3 "Disable"

// Rows of the device's TFTP command list: the row of each command.
inline constexpr int kTftpConnectRow = 0;  // the device fetches a firmware image
inline constexpr int kTftpGetRow = 1;      // the device fetches a configuration file
inline constexpr int kTftpPutRow = 2;      // the device stores its configuration file

inline constexpr VariableDescriptor EndOfTable{nullptr, nullptr, 0, 0};

// The same variable declared with another access, e.g. invalid where a page switches it on
// only for the radio it shows.
constexpr VariableDescriptor WithAccess(VariableDescriptor row, int32_t access)
{
    row.access = access;
    return row;
}

// Status and capabilities the main window polls.
inline constexpr VariableDescriptor StLed{VTA_OID(".4.4"), "stLED", kSyntaxInteger, kAccessReadOnly};
inline constexpr VariableDescriptor StFirmwareVersion{VTA_OID(".4.1.1.1"), "stFirmwareVersion",
                                                      kSyntaxDisplayString, kAccessReadOnly};
inline constexpr VariableDescriptor CountryCode{VTA_OID(".99.1.1.6"), "countrycode", kSyntaxDisplayString,
                                                kAccessReadOnly};
// Per radio: instance 1 (the radio the pages configure) and 2.
inline constexpr VariableDescriptor TurboModes1{VTA_OID(".99.1.1.2.1"), "turbomodes", kSyntaxInteger,
                                                kAccessReadOnly};
inline constexpr VariableDescriptor TurboModes2{VTA_OID(".99.1.1.2.2"), "turbomodes", kSyntaxInteger,
                                                kAccessReadOnly};
inline constexpr VariableDescriptor ApModes{VTA_OID(".99.1.1.1"), "apmodes", kSyntaxInteger, kAccessReadOnly};
inline constexpr VariableDescriptor MultiSsidSupported{VTA_OID(".99.1.1.9"), "mssidsupported", kSyntaxInteger,
                                                       kAccessReadOnly};
inline constexpr VariableDescriptor ClientInfoSupported{VTA_OID(".99.1.1.7"), "clientinfosupported",
                                                        kSyntaxInteger, kAccessReadOnly};

// Radio 1's traffic counters (32 bits, wrapping): the statistics page shows them, the traffic
// graph and the fleet's metrics follow them.
inline constexpr VariableDescriptor TransmittedFrameCount1{VTA_OID(".4.3.1.1.7.1"),
                                                           "statusTrafficStatisticsTransmittedFrameCount",
                                                           kSyntaxCounter, kAccessReadOnly};
inline constexpr VariableDescriptor TransmittedErrorCount1{VTA_OID(".4.3.1.1.9.1"),
                                                           "statusTrafficStatisticsTransmittedErrorCount",
                                                           kSyntaxCounter, kAccessReadOnly};
inline constexpr VariableDescriptor TransmittedTotalRetryCount1{VTA_OID(".4.3.1.1.10.1"),
                                                                "statusTrafficStatisticsTransmittedTotalRetryCount",
                                                                kSyntaxCounter, kAccessReadOnly};
inline constexpr VariableDescriptor ReceivedFrameCount1{VTA_OID(".4.3.1.1.12.1"),
                                                        "statusTrafficStatisticsReceivedFrameCount", kSyntaxCounter,
                                                        kAccessReadOnly};
inline constexpr VariableDescriptor ReceivedFrameFCSErrorCount1{VTA_OID(".4.3.1.1.14.1"),
                                                                "statusTrafficStatisticsReceivedFrameFCSErrorCount",
                                                                kSyntaxCounter, kAccessReadOnly};

// The radio's operating mode and super mode, per radio instance: the wireless page sets them,
// the multi-SSID page allows guests only in "Access Point" without super mode.
inline constexpr VariableDescriptor AdApMode1{VTA_OID(".2.1.1.1.1"), "adAPMode", kSyntaxInteger, kAccessReadWrite,
                                              &ApModeOptions};
inline constexpr VariableDescriptor AdApMode2{VTA_OID(".2.1.1.1.2"), "adAPMode", kSyntaxInteger, kAccessReadWrite,
                                              &ApModeOptions};
inline constexpr VariableDescriptor AdSuperMode1{VTA_OID(".2.3.1.11.1"), "adSuperMode", kSyntaxInteger,
                                                 kAccessReadWrite, &SuperModeOptions};
inline constexpr VariableDescriptor AdSuperMode2{VTA_OID(".2.3.1.11.2"), "adSuperMode", kSyntaxInteger,
                                                 kAccessReadWrite, &SuperModeOptions};

// The device's own address settings (scalars).
inline constexpr VariableDescriptor HGetIpFrom{VTA_OID(".1.2.1"), "hGetIPFrom", kSyntaxInteger, kAccessReadWrite,
                                               &GetIpFromOptions};
inline constexpr VariableDescriptor HIpAddress{VTA_OID(".1.2.2"), "hIPAddress", kSyntaxIpAddress,
                                               kAccessReadWrite};
inline constexpr VariableDescriptor HSubnetMask{VTA_OID(".1.2.3"), "hSubnetMask", kSyntaxIpAddress,
                                                kAccessReadWrite};
inline constexpr VariableDescriptor HDefaultGateway{VTA_OID(".1.2.4"), "hDefaultGateway", kSyntaxIpAddress,
                                                    kAccessReadWrite};

// Commands.
inline constexpr VariableDescriptor SysRestart{VTA_OID(".3.2.1"), "sysRestart", kSyntaxInteger, kAccessReadWrite,
                                               &RestartOptions};

// The device's TFTP client: the PC's address, the file names, the command that starts a transfer
// (answered only when the transfer has ended).
inline constexpr VariableDescriptor RemoteServerIp{VTA_OID(".3.3.1"), "remotesrvip", kSyntaxIpAddress,
                                                   kAccessReadWrite};
inline constexpr VariableDescriptor RemoteFileName{VTA_OID(".3.3.2"), "remotefilename", kSyntaxDisplayString,
                                                   kAccessReadWrite};
inline constexpr VariableDescriptor LocalFileName{VTA_OID(".3.3.3"), "localfilename", kSyntaxDisplayString,
                                                  kAccessReadWrite};
inline constexpr VariableDescriptor TftpCommand{VTA_OID(".3.3.5"), "tftpcommand", kSyntaxInteger, kAccessReadWrite,
                                                &TftpCommandOptions};

// The DHCP server's dynamic pool (scalars): start, size, mask, gateway, WINS, DNS, domain,
// lease time and status, in this order. The LAN page reads start and size to keep the
// device's own address out of the pool.
extern const VariableDescriptor DhcpDynamicPool[];
inline constexpr int kPoolStartItem = 0;
inline constexpr int kPoolRangeItem = 1;

// The DHCP server's static leases: a table of a fixed number of rows, a free row has the
// address 0.0.0.0. Items: the row index, then IP, MAC, mask, gateway, WINS, DNS, domain and
// status.
extern const VariableDescriptor DhcpStaticLeases[];
inline constexpr int kLeaseIndexItem = 0;
inline constexpr int kLeaseIpItem = 1;
inline constexpr int kLeaseMacItem = 2;

} // namespace DeviceVariables
