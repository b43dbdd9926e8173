#include "DeviceModel.h"

const Oid kPrivateRoot = {1, 3, 6, 1, 4, 1, 32473, 10, 37, 24};
const Oid kSystemGroup = {1, 3, 6, 1, 2, 1, 1};
const Oid kSignalRoot = {1, 3, 6, 1, 4, 1, 32473, 10, 37, 14};

namespace DeviceOid {
Oid Private(const char* suffix) { return Concat(kPrivateRoot, *ParseOid(suffix)); }
Oid System(const char* suffix) { return Concat(kSystemGroup, *ParseOid(suffix)); }
}  // namespace DeviceOid

namespace {

// Small builders so the table below reads like the device's object list.
Variable Int(const char* name, long long value, long long minimum = LLONG_MIN, long long maximum = LLONG_MAX)
{
    Variable v;
    v.name = name;
    v.syntax = Syntax::Integer;
    v.number = value;
    v.minimum = minimum;
    v.maximum = maximum;
    return v;
}

Variable Enum(const char* name, long long value, std::vector<long long> allowed)
{
    Variable v = Int(name, value);
    v.allowed = std::move(allowed);
    return v;
}

Variable Text(const char* name, const std::string& value, size_t maxLength = 255)
{
    Variable v;
    v.name = name;
    v.syntax = Syntax::Text;
    v.bytes = value;
    v.maxLength = maxLength;
    return v;
}

Variable Ip(const char* name, const char* value)
{
    Variable v;
    v.name = name;
    v.syntax = Syntax::IpAddress;
    SetValueFromText(v, value);
    return v;
}

Variable Mac(const char* name, const char* value)
{
    Variable v;
    v.name = name;
    v.syntax = Syntax::MacAddress;
    SetValueFromText(v, value);
    return v;
}

Variable Counter(const char* name, long long value)
{
    Variable v = Int(name, value);
    v.syntax = Syntax::Counter32;
    return v;
}

// A writable setting of the configuration.
Variable Rw(Variable v)
{
    v.writable = true;
    v.config = true;
    return v;
}

// A writable command (not saved in the configuration).
Variable Cmd(Variable v)
{
    v.writable = true;
    return v;
}

Variable Secret(Variable v)
{
    v.masked = true;
    return v;
}

std::string Suffix(const char* base, int a)
{
    return std::string(base) + "." + std::to_string(a);
}

std::string Suffix(const char* base, int a, int b)
{
    return Suffix(base, a) + "." + std::to_string(b);
}

void Add(MibStore& store, const std::string& suffix, Variable v)
{
    store.add(DeviceOid::Private(suffix.c_str()), std::move(v));
}

// A scalar: the instance is the object's OID followed by ".0".
void Scalar(MibStore& store, const char* object, Variable v) { Add(store, Suffix(object, 0), std::move(v)); }

const char* const kChannelList = "1 2 3 4 5 6 7 8 9 10 11";
const char* const kDataRateList = "Auto 1 2 5.5 6 9 11 12 18 24 36 48 54";

void AddSystemGroup(MibStore& store)
{
    auto add = [&](const char* suffix, Variable v) { store.add(DeviceOid::System(suffix), std::move(v)); };
    add("1.0", Text("sysDescr", "VTA-3100QX Wireless Access Point, firmware 2.05"));
    Variable objectId;
    objectId.name = "sysObjectID";
    objectId.syntax = Syntax::ObjectId;
    objectId.objectId = kPrivateRoot;
    add("2.0", objectId);
    Variable upTime = Int("sysUpTime", 0);
    upTime.syntax = Syntax::TimeTicks;
    add("3.0", upTime);
    add("4.0", Rw(Text("sysContact", "")));
    add("5.0", Rw(Text("sysName", "VTA-3100QX")));
    add("6.0", Rw(Text("sysLocation", "")));
    add("7.0", Int("sysServices", 2));
}

void AddRadios(MibStore& store)
{
    for (int r = 1; r <= 2; ++r) {
        const bool inUse = r == 1;
        // Basic settings (home group).
        Add(store, Suffix("1.1.1.1", r), Rw(Text("hSSID", inUse ? "VTA3100QX" : "VTA3100QX-2", 32)));
        Add(store, Suffix("1.1.1.2", r), Rw(Enum("hSSIDBroadcast", 1, {0, 1})));
        Add(store, Suffix("1.1.1.3", r), Rw(Int("hChannel", inUse ? 6 : 11, 1, 11)));
        Add(store, Suffix("1.1.1.4", r), Text("hChannelList", kChannelList));
        // AP mode and WDS partners.
        Add(store, Suffix("2.1.1.1", r), Rw(Enum("adAPMode", 1, {1, 2, 3, 4, 5})));
        for (int slot = 1; slot <= 8; ++slot)
            Add(store, Suffix("2.2.1.2", r, slot), Rw(Mac("adPtPRemoteAPMACAddress", "000000000000")));
        // Performance.
        Add(store, Suffix("2.3.1.1", r), Text("adFrequency", "2.4"));
        Add(store, Suffix("2.3.1.2", r), Rw(Int("adChannel", inUse ? 6 : 11, 1, 11)));
        Add(store, Suffix("2.3.1.3", r), Text("adChannelList", kChannelList));
        Add(store, Suffix("2.3.1.4", r), Rw(Text("adDataRate", "Auto", 8)));
        Add(store, Suffix("2.3.1.5", r), Text("adDataRateList", kDataRateList));
        Add(store, Suffix("2.3.1.6", r), Rw(Int("adBeaconInterval", 100, 20, 1000)));
        Add(store, Suffix("2.3.1.7", r), Rw(Int("adDTIM", 1, 1, 255)));
        Add(store, Suffix("2.3.1.8", r), Rw(Int("adFragmentLength", 2346, 256, 2346)));
        Add(store, Suffix("2.3.1.9", r), Rw(Int("adRTSLength", 2346, 256, 2346)));
        Add(store, Suffix("2.3.1.10", r), Rw(Enum("adTransmitPower", 1, {1, 2, 3, 4, 5})));
        Add(store, Suffix("2.3.1.11", r), Rw(Enum("adSuperMode", 3, {1, 2, 3})));
        Add(store, Suffix("2.3.1.12", r), Rw(Enum("adRadioWave", inUse ? 1 : 0, {0, 1})));
        Add(store, Suffix("2.3.1.14", r), Rw(Enum("adAutoChannelScan", 0, {0, 1})));
        Add(store, Suffix("2.3.1.17", r), Rw(Enum("advancedPerformanceShortPreamble", 1, {0, 1})));
        Add(store, Suffix("2.3.1.18", r), Rw(Enum("advancedPerformanceWMM", 1, {0, 1})));
        Add(store, Suffix("2.3.1.19", r), Rw(Enum("advancedPerformanceAntennaDiversity", 0, {0, 1, 2})));
        Add(store, Suffix("2.3.1.99", r), Rw(Enum("adXR", 0, {0, 1})));
        // Access filter and WLAN partition.
        Add(store, Suffix("2.4.1.1.1", r), Rw(Enum("adAccSettingWirelessAccessControl", 1, {1, 2, 3})));
        Add(store, Suffix("2.4.3.1.1", r), Rw(Enum("adInternalStationConnection", 1, {0, 1})));
        Add(store, Suffix("2.4.3.1.2", r), Rw(Enum("adEthernet2WLANAccess", 1, {0, 1})));
        Add(store, Suffix("2.4.3.1.3", r), Rw(Enum("adInternaStationConnectionBetweenag", 1, {0, 1})));
        for (int row = 1; row <= kMacFilterRows; ++row)
            Add(store, Suffix("2.4.2.1.2", r, row), Rw(Mac("MAC Address", "000000000000")));
        // Security.
        Add(store, Suffix("2.5.1.1.1", r), Rw(Enum("adSecAuthentication", 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10})));
        Add(store, Suffix("2.5.1.1.2", r), Rw(Enum("adSecEncryption", 0, {0, 1})));
        Add(store, Suffix("2.5.1.1.3", r), Rw(Enum("adSecValidKey", 1, {1, 2, 3, 4})));
        Variable passPhrase = Secret(Rw(Text("adSecPassPhrase", "", 63)));
        passPhrase.allowedLengths = {0, 8, 9, 10};
        for (size_t n = 11; n <= 63; ++n)
            passPhrase.allowedLengths.push_back(n);
        Add(store, Suffix("2.5.1.1.4", r), passPhrase);
        Add(store, Suffix("2.5.1.1.5", r), Rw(Enum("adSecCipherType", 2, {1, 2, 3, 4})));
        Add(store, Suffix("2.5.1.1.6", r),
            Rw(Int("adSecGroupKeyUpdateInterval", 1800, inUse ? 300 : 30, inUse ? 18000 : 9999999)));
        Add(store, Suffix("2.5.1.1.7", r), Int("advancedEncryptionKeySettingUpdateIntervalSupport", 1));
        for (int key = 1; key <= 4; ++key) {
            Variable wep = Secret(Rw(Text(r == 1 ? "adSecKey-80211a" : "adSecKey-80211g", "", 32)));
            wep.allowedLengths = {0, 10, 26, 32};
            wep.hexDigitsOnly = true;
            Add(store, Suffix("2.5.3.1.1", r, key), wep);
        }
        // Site survey command (its table is filled by the command). The device takes it as a
        // scalar per radio: the instance is ".R.0", as the rogue detection command's is ".0".
        Add(store, Suffix("2.8.1.1", r) + ".0", Cmd(Enum("adRefresh", 0, {0, 1})));
        // Multi-SSID: the master SSID row shows the radio's own settings.
        Variable masterSsid = Rw(Text("adMSSIDSSID", "", 32));
        masterSsid.aliasOf = DeviceOid::Private(Suffix("1.1.1.1", r).c_str());
        Add(store, Suffix("2.9.1.1.1", r), masterSsid);
        Variable masterAuth = Rw(Enum("adMSSIDAuth", 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        masterAuth.aliasOf = DeviceOid::Private(Suffix("2.5.1.1.1", r).c_str());
        Add(store, Suffix("2.9.1.1.2", r), masterAuth);
        Add(store, Suffix("2.9.1.1.3", r), Rw(Int("adVlanTagID", 1, 1, 4094)));
        for (int guest = 1; guest <= 3; ++guest) {
            Add(store, Suffix("2.9.2.1.2", r, guest), Rw(Enum("adMSSIDState", 0, {0, 1})));
            Add(store, Suffix("2.9.2.1.3", r, guest), Rw(Text("adMSSIDSSID", "Guest" + std::to_string(guest), 32)));
            Add(store, Suffix("2.9.2.1.4", r, guest), Rw(Enum("adMSSIDAuth", 1, {1, 2, 3})));
            Add(store, Suffix("2.9.2.1.6", r, guest), Rw(Enum("adMSSIDKeyIndex", guest + 1, {1, 2, 3, 4})));
            Variable key = Secret(Rw(Text("adMSSIDKey", "", 32)));
            key.allowedLengths = {0, 10, 26, 32};
            key.hexDigitsOnly = true;
            Add(store, Suffix("2.9.2.1.7", r, guest), key);
            Add(store, Suffix("2.9.2.1.9", r, guest), Rw(Int("adVlanTagID", guest + 1, 1, 4094)));
        }
        // Status group: what the radio runs now (follows the settings at each start).
        Add(store, Suffix("4.1.2.1.1", r), Text("stSSID", inUse ? "VTA3100QX" : "VTA3100QX-2"));
        Add(store, Suffix("4.1.2.1.2", r), Int("stChannel", inUse ? 6 : 11));
        Add(store, Suffix("4.1.2.1.4", r), Text("stDataRate", "Auto"));
        Add(store, Suffix("4.1.2.1.5", r), Text("stSecLevelAuth", "Open System"));
        const char* const counters[] = {
            "statusTrafficStatisticsThroughPutTransmitSuccessRate",
            "statusTrafficStatisticsThroughPutTransmitRetryRate",
            "statusTrafficStatisticsThroughPutReceiveSuccessRate",
            "statusTrafficStatisticsThroughPutReceiveDuplicateRate",
            "statusTrafficStatisticsThroughPutRTSSuccessCount",
            "statusTrafficStatisticsThroughPutRTSFailureCount",
            "statusTrafficStatisticsTransmittedFrameCount",
            "statusTrafficStatisticsMulticastTransmittedFrameCount",
            "statusTrafficStatisticsTransmittedErrorCount",
            "statusTrafficStatisticsTransmittedTotalRetryCount",
            "statusTrafficStatisticsTransmittedMultipleRetryCount",
            "statusTrafficStatisticsReceivedFrameCount",
            "statusTrafficStatisticsMulticastReceivedFrameCount",
            "statusTrafficStatisticsReceivedFrameFCSErrorCount",
            "statusTrafficStatisticsReceivedFrameDuplicateCount",
            "statusTrafficStatisticsAckRcvFailureCount",
            "statusTrafficStatisticsWEPExcludedFrameCount",
            "statusTrafficStatisticsWEPICVErrorCount",
        };
        for (int c = 1; c <= 18; ++c)
            Add(store, Suffix("4.3.1.1", c, r),
                c <= 4 ? Int(counters[c - 1], inUse ? (c == 1 || c == 3 ? 98 : 2) : 0)
                       : Counter(counters[c - 1], 0));
        Add(store, Suffix("4.5.1.1.1", r), Cmd(Enum("adGetClient", 0, {0, 1})));
        Add(store, Suffix("99.1.1.2", r), Int("turbomodes", 0));
    }
}

void AddLanAndServices(MibStore& store)
{
    Scalar(store, "1.2.1", Rw(Enum("hGetIPFrom", 1, {1, 2})));
    Scalar(store, "1.2.2", Rw(Ip("hIPAddress", "192.168.0.50")));
    Scalar(store, "1.2.3", Rw(Ip("hSubnetMask", "255.255.255.0")));
    Scalar(store, "1.2.4", Rw(Ip("hDefaultGateway", "192.168.0.1")));
    Scalar(store, "2.5.2.3", Rw(Ip("Sec RADIUS Server", "0.0.0.0")));
    Scalar(store, "2.5.2.4", Rw(Int("Sec RADIUS Port", 1812, 1, 65535)));
    Scalar(store, "2.5.2.5", Rw(Text("Sec RADIUS Secret", "", 64)));
    // Grouping.
    Scalar(store, "2.6.1", Rw(Enum("LoadBalance", 0, {0, 1})));
    Scalar(store, "2.6.2", Rw(Int("UserLimit(0-64)", 32, 0, 64)));
    Scalar(store, "2.6.3", Rw(Enum("LinkIntegrate", 0, {0, 1})));
    Scalar(store, "2.6.4", Text("EthernetLinkStatus", "Up"));
    // DHCP server.
    Scalar(store, "2.7.1", Rw(Enum("Dynamic IP Function", 1, {0, 1})));
    Scalar(store, "2.7.2.1", Rw(Ip("Dynamic IP Start", "192.168.0.100")));
    Scalar(store, "2.7.2.2", Rw(Int("Dynamic Range", 50, 1, 255)));
    Scalar(store, "2.7.2.3", Rw(Ip("Dynamic Mask", "255.255.255.0")));
    Scalar(store, "2.7.2.4", Rw(Ip("Dynamic Gateway", "192.168.0.1")));
    Scalar(store, "2.7.2.5", Rw(Ip("Dynamic Wins", "0.0.0.0")));
    Scalar(store, "2.7.2.6", Rw(Ip("Dynamic Dns", "192.168.0.1")));
    Scalar(store, "2.7.2.7", Rw(Text("Dynamic Domain", "", 63)));
    Scalar(store, "2.7.2.8", Rw(Int("Dynamic Lease", 86400, 60, 31536000)));
    Scalar(store, "2.7.2.9", Rw(Enum("Dynamic Status", 1, {0, 1})));
    for (int row = 1; row <= kStaticLeaseRows; ++row) {
        Add(store, Suffix("2.7.3.1.2", row), Rw(Ip("IP", "0.0.0.0")));
        Add(store, Suffix("2.7.3.1.3", row), Rw(Mac("MAC", "000000000000")));
        Add(store, Suffix("2.7.3.1.4", row), Rw(Ip("Mask", "0.0.0.0")));
        Add(store, Suffix("2.7.3.1.5", row), Rw(Ip("Gateway", "0.0.0.0")));
        Add(store, Suffix("2.7.3.1.6", row), Rw(Ip("Wins", "0.0.0.0")));
        Add(store, Suffix("2.7.3.1.7", row), Rw(Ip("DNS", "0.0.0.0")));
        Add(store, Suffix("2.7.3.1.8", row), Rw(Text("Domain", "", 63)));
        Add(store, Suffix("2.7.3.1.9", row), Rw(Enum("Status", 0, {0, 1})));
    }
    Scalar(store, "2.7.4.3.1", Cmd(Enum("DynamicGet", 0, {0, 1})));
    Scalar(store, "2.7.4.3.2", Cmd(Enum("StaticGet", 0, {0, 1})));
    // VLAN.
    Scalar(store, "2.9.3.1.1", Rw(Enum("adVlanState", 0, {0, 1})));
    // Rogue AP detection.
    Scalar(store, "2.10.1", Rw(Enum("bssTypeDetected", 1, {1, 2, 3})));
    Scalar(store, "2.10.2", Rw(Int("bandTypeDetected", 12, 0, 255)));
    Scalar(store, "2.10.3", Rw(Int("securityTypeDetected", 255, 0, 255)));
    Scalar(store, "2.10.4.1.1", Cmd(Enum("rogueAPDetect", 0, {0, 1})));
    Scalar(store, "2.10.4.1.2", Cmd(Int("addRogueAPtoAPList", 0, 0, INT_MAX)));
    Scalar(store, "2.10.4.1.3", Cmd(Int("deleteRogueAPFromResult", 0, 0, INT_MAX)));
    Scalar(store, "2.10.4.2.1", Cmd(Int("deleteRogueAPfromAPList", 0, 0, INT_MAX)));
    // Log.
    Scalar(store, "2.11.1", Rw(Enum("adSystemLevel", 1, {0, 1})));
    Scalar(store, "2.11.2", Rw(Enum("adWirelessLevel", 1, {0, 1})));
    Scalar(store, "2.11.3", Rw(Enum("adNoticeLevel", 1, {0, 1})));
    Scalar(store, "2.11.9", Rw(Ip("adLogServerIP", "0.0.0.0")));
    Scalar(store, "2.11.10", Cmd(Enum("adClearLocalLog", 0, {0, 1})));
    Scalar(store, "2.11.11.1", Cmd(Enum("adGetLog", 0, {0, 1})));
    // Administration.
    Scalar(store, "3.1.1", Rw(Text("UserName", "admin", 64)));
    Scalar(store, "3.1.2", Rw(Text("Password", "", 12)));
    Scalar(store, "3.2.1", Cmd(Enum("sysRestart", 0, {0, 1})));
    Scalar(store, "3.2.2", Cmd(Enum("FactoryDefault", 0, {0, 1})));
    Scalar(store, "3.3.1", Cmd(Ip("remotesrvip", "0.0.0.0")));
    Scalar(store, "3.3.2", Cmd(Text("remotefilename", "", 128)));
    Scalar(store, "3.3.3", Cmd(Text("localfilename", "", 128)));
    Scalar(store, "3.3.5", Cmd(Enum("tftpcommand", 4, {1, 2, 3, 4})));
    Scalar(store, "3.4.1", Rw(Enum("telnet", 1, {0, 1})));
    Scalar(store, "3.4.2", Rw(Enum("timeout", 3, {1, 2, 3, 4, 5, 6})));
    Scalar(store, "3.4.4", Rw(Enum("snmp", 1, {0, 1})));
    // Status: what the device runs now.
    Scalar(store, "4.1.1.1", Text("stFirmwareVersion", "2.05"));
    Scalar(store, "4.1.1.2", Mac("stMacAddress", "00E0A6310524"));
    Scalar(store, "4.1.1.3", Enum("stGetIPFrom", 1, {1, 2}));
    Scalar(store, "4.1.1.4", Ip("stIPAddress", "192.168.0.50"));
    Scalar(store, "4.1.1.5", Ip("stSubnetMask", "255.255.255.0"));
    Scalar(store, "4.1.1.6", Ip("stDefaultGateway", "192.168.0.1"));
    Add(store, "4.4.0", Int("stLED", 0));
    Scalar(store, "4.6.1", Int("statusIndicationTemperature", 42));
    // Capabilities.
    Scalar(store, "99.1.1.1", Int("apmodes", 7));
    Scalar(store, "99.1.1.6", Text("countrycode", "US"));
    Scalar(store, "99.1.1.7", Int("clientinfosupported", 1));
    Scalar(store, "99.1.1.9", Int("mssidsupported", 1));
}


void AddTables(MibStore& store)
{
    store.addTable({"survey", DeviceOid::Private("2.8.2.1"), 2,
                    {{2, Text(" Type", "")}, {3, Int(" Channel", 0)}, {4, Int(" Signal (%)", 0)},
                     {5, Mac(" BSSID", "000000000000")}, {6, Text(" Security ", "")}, {7, Text(" SSID", "")}}});
    store.addTable({"macFilter", DeviceOid::Private("2.4.2.1"), 2, {{2, Rw(Mac("MAC Address", "000000000000"))}}});
    store.addTable({"staticLease", DeviceOid::Private("2.7.3.1"), 1,
                    {{2, Rw(Ip("IP", "0.0.0.0"))}, {3, Rw(Mac("MAC", "000000000000"))},
                     {4, Rw(Ip("Mask", "0.0.0.0"))}, {5, Rw(Ip("Gateway", "0.0.0.0"))},
                     {6, Rw(Ip("Wins", "0.0.0.0"))}, {7, Rw(Ip("DNS", "0.0.0.0"))},
                     {8, Rw(Text("Domain", "", 63))}, {9, Rw(Enum("Status", 0, {0, 1}))}}});
    store.addTable({"dynamicMapping", DeviceOid::Private("2.7.4.1.1"), 1,
                    {{2, Mac("Current Dynamic MAC", "000000000000")},
                     {3, Ip("Current Dynamic Assigned IP", "0.0.0.0")},
                     {4, Int("Current Dynamic Lease", 0)}}});
    store.addTable({"staticMapping", DeviceOid::Private("2.7.4.2.1"), 1,
                    {{2, Mac("Current Static MAC", "000000000000")}, {3, Ip("Current Static Assigned IP", "0.0.0.0")}}});
    const std::vector<std::pair<oid, Variable>> rogueColumns = {
        {2, Text("Type", "")}, {3, Int("CH", 0)},        {4, Int("RSSI", 0)},  {5, Mac("BSSID", "000000000000")},
        {7, Int("Mode", 3)},   {8, Text("SSID", "")},    {9, Int("Security", 0)}};
    store.addTable({"rogueResult", DeviceOid::Private("2.10.4.1.4.1"), 1, rogueColumns});
    store.addTable({"rogueApList", DeviceOid::Private("2.10.4.2.2.1"), 1, rogueColumns});
    store.addTable({"log", DeviceOid::Private("2.11.12.1"), 1, {{2, Text("Time", "")}, {3, Text("Message", "")}}});
    store.addTable({"client", DeviceOid::Private("4.5.2.1"), 2,
                    {{2, Mac("MAC", "000000000000")}, {3, Enum("Band", 2, {1, 2})}, {4, Int("Auth", 1)},
                     {5, Int("RSSI", 0)}, {8, Enum("Power Saving Mode", 0, {0, 1})}}});
}

}  // namespace

void BuildFactoryDefaults(MibStore& store)
{
    AddSystemGroup(store);
    AddRadios(store);
    AddLanAndServices(store);
    AddTables(store);
}
