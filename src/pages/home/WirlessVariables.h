#pragma once

#include "snmp/QvOptionList.h"
#include "snmp/VariableDescriptor.h"

// The variables of the wireless page, one table per binding, per radio where each radio has
// its own binding ([0] instance 1, [1] instance 2). Each table ends with an empty row.
namespace WirlessVariables {

extern const QvOptionList EnableOptions;     // 0 "Disable", 1 "Enable"
extern const QvOptionList AuthOptions;       // 1 "Open System" .. 10 "WPA-Auto-PSK"
extern const QvOptionList KeyIndexOptions;   // 1 "First" .. 4 "Fourth"
extern const QvOptionList CipherOptions;     // 1 "WEP", 2 "Auto", 3 "AES", 4 "TKIP"
extern const QvOptionList GuestStateOptions; // 0 "disabled", 1 "enabled"
extern const QvOptionList GuestAuthOptions;  // 1 "None", 2 "Open System", 3 "Shared Key"
extern const QvOptionList ScanOptions;       // 0 "nothing", 1 "refresh"

// Both radios' SSID, broadcast, channel, channel list and frequency: radio r's item k is 5r + k.
extern const VariableDescriptor Basic[];
inline constexpr int kBasicItemsPerRadio = 5;
enum BasicItem { kSsid = 0, kBroadcast, kChannel, kChannelList, kFrequency };

extern const VariableDescriptor SuperMode[];  // item r: radio r
extern const VariableDescriptor AutoScan[2][2];
// Item 0 the mode, items 1-8 the WDS partners.
extern const VariableDescriptor ApMode[2][10];

// One table for both radios: rows 3r .. 3r+2 authentication, encryption and valid key of
// radio r, rows 6 + 4r .. 9 + 4r its four keys.
extern const VariableDescriptor Wep[];
inline int WepAuthRow(int radio) { return 3 * radio; }
inline int WepEncryptionRow(int radio) { return 3 * radio + 1; }
inline int WepValidKeyRow(int radio) { return 3 * radio + 2; }
inline int WepKeyRow(int radio, int key) { return 6 + 4 * radio + key; }

// Cipher, port, group key interval, server, secret.
extern const VariableDescriptor Radius[2][6];
enum RadiusItem { kRadiusCipher = 0, kRadiusPort, kRadiusInterval, kRadiusServer, kRadiusSecret };
// Cipher, group key interval, pass phrase.
extern const VariableDescriptor Psk[2][4];
enum PskItem { kPskCipher = 0, kPskInterval, kPskPassPhrase };
extern const VariableDescriptor IntervalSupport[2][2];
extern const VariableDescriptor ScanCommand[2][2];
// The index column (row number), then type, channel, signal, BSSID, security, SSID.
extern const VariableDescriptor Survey[2][8];

// Item 0 the VLAN state; radio r's guests: states 1 + 6r .. 3 + 6r, authentications 4 + 6r .. 6 + 6r.
extern const VariableDescriptor GuestState[];
inline constexpr int kGuestStateCount = 13;
inline int GuestStateItem(int radio, int guest) { return 1 + 6 * radio + guest; }
inline int GuestAuthItem(int radio, int guest) { return 4 + 6 * radio + guest; }
// Radio r's guest key indexes: items 3r .. 3r + 2.
extern const VariableDescriptor GuestKeyIndex[];

} // namespace WirlessVariables
