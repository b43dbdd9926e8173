#include "pages/home/WirlessVariables.h"

#include "binding/DeviceVariables.h"

namespace WirlessVariables {

namespace {

const OptionRow kEnableRows[] = {{0, "Disable"}, {1, "Enable"}, {0, nullptr}};
const OptionRow kAuthRows[] = {{1, "Open System"}, {2, "Shared Key"}, {3, "Open System / Shared Key"},
                               {4, "802.1x"},      {5, "WPA-EAP"},    {6, "WPA-PSK"},
                               {7, "WPA2-EAP"},    {8, "WPA2-PSK"},   {9, "WPA-Auto-EAP"},
                               {10, "WPA-Auto-PSK"}, {0, nullptr}};
const OptionRow kKeyIndexRows[] = {{1, "First"}, {2, "Second"}, {3, "Third"}, {4, "Fourth"}, {0, nullptr}};
const OptionRow kCipherRows[] = {{1, "WEP"}, {2, "Auto"}, {3, "AES"}, {4, "TKIP"}, {0, nullptr}};
const OptionRow kGuestStateRows[] = {{0, "disabled"}, {1, "enabled"}, {0, nullptr}};
const OptionRow kGuestAuthRows[] = {{1, "None"}, {2, "Open System"}, {3, "Shared Key"}, {0, nullptr}};
const OptionRow kScanRows[] = {{0, "nothing"}, {1, "refresh"}, {0, nullptr}};

constexpr int32_t kInteger = kSyntaxInteger;
constexpr int32_t kText = kSyntaxDisplayString;
constexpr int32_t kMac = kSyntaxMacAddress;
constexpr int32_t kRW = kAccessReadWrite;
constexpr int32_t kRO = kAccessReadOnly;
constexpr int32_t kOff = kAccessInvalid;

} // namespace

const QvOptionList EnableOptions(kEnableRows);
const QvOptionList AuthOptions(kAuthRows);
const QvOptionList KeyIndexOptions(kKeyIndexRows);
const QvOptionList CipherOptions(kCipherRows);
const QvOptionList GuestStateOptions(kGuestStateRows);
const QvOptionList GuestAuthOptions(kGuestAuthRows);
const QvOptionList ScanOptions(kScanRows);

const VariableDescriptor Basic[] = {
    {VTA_OID(".1.1.1.1.1"), "hSSID", kText, kOff},
    {VTA_OID(".1.1.1.2.1"), "hSSIDBroadcast", kInteger, kOff, &EnableOptions},
    {VTA_OID(".1.1.1.3.1"), "hChannel", kInteger, kOff},
    {VTA_OID(".1.1.1.4.1"), "hChannelList", kText, kOff},
    {VTA_OID(".2.3.1.1.1"), "adFrequency", kText, kRO},
    {VTA_OID(".1.1.1.1.2"), "hSSID", kText, kOff},
    {VTA_OID(".1.1.1.2.2"), "hSSIDBroadcast", kInteger, kOff, &EnableOptions},
    {VTA_OID(".1.1.1.3.2"), "hChannel", kInteger, kOff},
    {VTA_OID(".1.1.1.4.2"), "hChannelList", kText, kOff},
    {VTA_OID(".2.3.1.1.2"), "adFrequency", kText, kRO},
    DeviceVariables::EndOfTable,
};

const VariableDescriptor SuperMode[] = {
    DeviceVariables::WithAccess(DeviceVariables::AdSuperMode1, kOff),
    DeviceVariables::WithAccess(DeviceVariables::AdSuperMode2, kOff),
    DeviceVariables::EndOfTable,
};

const VariableDescriptor AutoScan[2][2] = {
    {{VTA_OID(".2.3.1.14.1"), "adAutoChannelScan", kInteger, kRW, &EnableOptions}, DeviceVariables::EndOfTable},
    {{VTA_OID(".2.3.1.14.2"), "adAutoChannelScan", kInteger, kRW, &EnableOptions}, DeviceVariables::EndOfTable},
};

#define VTA_WDS_PARTNERS(r)                                                                    \
    {VTA_OID(".2.2.1.2." #r ".1"), "adPtPRemoteAPMACAddress", kMac, kRW},                      \
        {VTA_OID(".2.2.1.2." #r ".2"), "adPtPRemoteAPMACAddress", kMac, kRW},                  \
        {VTA_OID(".2.2.1.2." #r ".3"), "adPtPRemoteAPMACAddress", kMac, kRW},                  \
        {VTA_OID(".2.2.1.2." #r ".4"), "adPtPRemoteAPMACAddress", kMac, kRW},                  \
        {VTA_OID(".2.2.1.2." #r ".5"), "adPtPRemoteAPMACAddress", kMac, kRW},                  \
        {VTA_OID(".2.2.1.2." #r ".6"), "adPtPRemoteAPMACAddress", kMac, kRW},                  \
        {VTA_OID(".2.2.1.2." #r ".7"), "adPtPRemoteAPMACAddress", kMac, kRW},                  \
        {VTA_OID(".2.2.1.2." #r ".8"), "adPtPRemoteAPMACAddress", kMac, kRW}

const VariableDescriptor ApMode[2][10] = {
    {DeviceVariables::AdApMode1, VTA_WDS_PARTNERS(1), DeviceVariables::EndOfTable},
    {DeviceVariables::AdApMode2, VTA_WDS_PARTNERS(2), DeviceVariables::EndOfTable},
};
#undef VTA_WDS_PARTNERS

const VariableDescriptor Wep[] = {
    {VTA_OID(".2.5.1.1.1.1"), "adSecAuthentication-a", kInteger, kOff, &AuthOptions},
    {VTA_OID(".2.5.1.1.2.1"), "adSecEncryption-a", kInteger, kOff, &EnableOptions},
    {VTA_OID(".2.5.1.1.3.1"), "adSecValidKey-a", kInteger, kOff, &KeyIndexOptions},
    {VTA_OID(".2.5.1.1.1.2"), "adSecAuthentication-g", kInteger, kOff, &AuthOptions},
    {VTA_OID(".2.5.1.1.2.2"), "adSecEncryption-g", kInteger, kOff, &EnableOptions},
    {VTA_OID(".2.5.1.1.3.2"), "adSecValidKey-g", kInteger, kOff, &KeyIndexOptions},
    {VTA_OID(".2.5.3.1.1.1.1"), "adSecKey-80211a-1", kText, kOff},
    {VTA_OID(".2.5.3.1.1.1.2"), "adSecKey-80211a-2", kText, kOff},
    {VTA_OID(".2.5.3.1.1.1.3"), "adSecKey-80211a-3", kText, kOff},
    {VTA_OID(".2.5.3.1.1.1.4"), "adSecKey-80211a-4", kText, kOff},
    {VTA_OID(".2.5.3.1.1.2.1"), "adSecKey-80211g-1", kText, kOff},
    {VTA_OID(".2.5.3.1.1.2.2"), "adSecKey-80211g-2", kText, kOff},
    {VTA_OID(".2.5.3.1.1.2.3"), "adSecKey-80211g-3", kText, kOff},
    {VTA_OID(".2.5.3.1.1.2.4"), "adSecKey-80211g-4", kText, kOff},
    DeviceVariables::EndOfTable,
};

// The RADIUS server, its port and secret are one per device, shared by both radios.
#define VTA_RADIUS(r)                                                                          \
    {{VTA_OID(".2.5.1.1.5." #r), "adSecCipherType", kInteger, kRW, &CipherOptions},            \
     {VTA_OID(".2.5.2.4.0"), "Sec RADIUS Port", kInteger, kRW},                                \
     {VTA_OID(".2.5.1.1.6." #r), "adSecGroupKeyUpdateInterval", kInteger, kRW},                \
     {VTA_OID(".2.5.2.3.0"), "Sec RADIUS Server", kSyntaxIpAddress, kRW},                      \
     {VTA_OID(".2.5.2.5.0"), "Sec RADIUS Secret", kText, kRW},                                 \
     DeviceVariables::EndOfTable}
const VariableDescriptor Radius[2][6] = {VTA_RADIUS(1), VTA_RADIUS(2)};
#undef VTA_RADIUS

#define VTA_PSK(r)                                                                             \
    {{VTA_OID(".2.5.1.1.5." #r), "adSecCipherType", kInteger, kRW, &CipherOptions},            \
     {VTA_OID(".2.5.1.1.6." #r), "adSecGroupKeyUpdateInterval", kInteger, kRW},                \
     {VTA_OID(".2.5.1.1.4." #r), "adSecPassPhrase", kText, kRW},                               \
     DeviceVariables::EndOfTable}
const VariableDescriptor Psk[2][4] = {VTA_PSK(1), VTA_PSK(2)};
#undef VTA_PSK

const VariableDescriptor IntervalSupport[2][2] = {
    {{VTA_OID(".2.5.1.1.7.1"), "advancedEncryptionKeySettingUpdateIntervalSupport", kInteger, kRO},
     DeviceVariables::EndOfTable},
    {{VTA_OID(".2.5.1.1.7.2"), "advancedEncryptionKeySettingUpdateIntervalSupport", kInteger, kRO},
     DeviceVariables::EndOfTable},
};

const VariableDescriptor ScanCommand[2][2] = {
    {{VTA_OID(".2.8.1.1.1"), "adRefresh", kInteger, kRW, &ScanOptions}, DeviceVariables::EndOfTable},
    {{VTA_OID(".2.8.1.1.2"), "adRefresh", kInteger, kRW, &ScanOptions}, DeviceVariables::EndOfTable},
};

// The column names are the list view's captions, blanks included.
#define VTA_SURVEY(r)                                                                          \
    {{" ", "Index", kInteger, kAccessNotAccessible},                                           \
     {VTA_OID(".2.8.2.1.2." #r), " Type", kText, kRO},                                         \
     {VTA_OID(".2.8.2.1.3." #r), " Channel", kInteger, kRO},                                   \
     {VTA_OID(".2.8.2.1.4." #r), " Signal (%)", kInteger, kRO},                                \
     {VTA_OID(".2.8.2.1.5." #r), " BSSID", kMac, kRO},                                         \
     {VTA_OID(".2.8.2.1.6." #r), " Security ", kText, kRO},                                    \
     {VTA_OID(".2.8.2.1.7." #r), " SSID", kText, kRO},                                         \
     DeviceVariables::EndOfTable}
const VariableDescriptor Survey[2][8] = {VTA_SURVEY(1), VTA_SURVEY(2)};
#undef VTA_SURVEY

const VariableDescriptor GuestState[] = {
    {VTA_OID(".2.9.3.1.1.0"), "adVlanState", kInteger, kOff, &GuestStateOptions},
    {VTA_OID(".2.9.2.1.2.1.1"), "adMSSIDState", kInteger, kOff, &GuestStateOptions},
    {VTA_OID(".2.9.2.1.2.1.2"), "adMSSIDState", kInteger, kOff, &GuestStateOptions},
    {VTA_OID(".2.9.2.1.2.1.3"), "adMSSIDState", kInteger, kOff, &GuestStateOptions},
    {VTA_OID(".2.9.2.1.4.1.1"), "adMSSIDAuth", kInteger, kOff, &GuestAuthOptions},
    {VTA_OID(".2.9.2.1.4.1.2"), "adMSSIDAuth", kInteger, kOff, &GuestAuthOptions},
    {VTA_OID(".2.9.2.1.4.1.3"), "adMSSIDAuth", kInteger, kOff, &GuestAuthOptions},
    {VTA_OID(".2.9.2.1.2.2.1"), "adMSSIDState", kInteger, kOff, &GuestStateOptions},
    {VTA_OID(".2.9.2.1.2.2.2"), "adMSSIDState", kInteger, kOff, &GuestStateOptions},
    {VTA_OID(".2.9.2.1.2.2.3"), "adMSSIDState", kInteger, kOff, &GuestStateOptions},
    {VTA_OID(".2.9.2.1.4.2.1"), "adMSSIDAuth", kInteger, kOff, &GuestAuthOptions},
    {VTA_OID(".2.9.2.1.4.2.2"), "adMSSIDAuth", kInteger, kOff, &GuestAuthOptions},
    {VTA_OID(".2.9.2.1.4.2.3"), "adMSSIDAuth", kInteger, kOff, &GuestAuthOptions},
    DeviceVariables::EndOfTable,
};

const VariableDescriptor GuestKeyIndex[] = {
    {VTA_OID(".2.9.2.1.6.1.1"), "adMSSIDKeyIndex", kInteger, kOff, &KeyIndexOptions},
    {VTA_OID(".2.9.2.1.6.1.2"), "adMSSIDKeyIndex", kInteger, kOff, &KeyIndexOptions},
    {VTA_OID(".2.9.2.1.6.1.3"), "adMSSIDKeyIndex", kInteger, kOff, &KeyIndexOptions},
    {VTA_OID(".2.9.2.1.6.2.1"), "adMSSIDKeyIndex", kInteger, kOff, &KeyIndexOptions},
    {VTA_OID(".2.9.2.1.6.2.2"), "adMSSIDKeyIndex", kInteger, kOff, &KeyIndexOptions},
    {VTA_OID(".2.9.2.1.6.2.3"), "adMSSIDKeyIndex", kInteger, kOff, &KeyIndexOptions},
    DeviceVariables::EndOfTable,
};

} // namespace WirlessVariables
