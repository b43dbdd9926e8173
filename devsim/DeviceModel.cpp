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
VariableDef Int(const char* name, long long value, long long minimum = LLONG_MIN, long long maximum = LLONG_MAX)
{
    VariableDef v;
    v.name = name;
    v.syntax = Syntax::Integer;
    v.number = value;
    v.minimum = minimum;
    v.maximum = maximum;
    return v;
}

VariableDef Enum(const char* name, long long value, std::vector<long long> allowed)
{
    VariableDef v = Int(name, value);
    v.allowed = std::move(allowed);
    return v;
}

VariableDef Text(const char* name, const std::string& value, size_t maxLength = 255)
{
    VariableDef v;
    v.name = name;
    v.syntax = Syntax::Text;
    v.bytes = value;
    v.maxLength = maxLength;
    return v;
}

VariableDef Ip(const char* name, const char* value)
{
    VariableDef v;
    v.name = name;
    v.syntax = Syntax::IpAddress;
    SetValueFromText(v.syntax, v, value);
    return v;
}

VariableDef Mac(const char* name, const char* value)
{
    VariableDef v;
    v.name = name;
    v.syntax = Syntax::MacAddress;
    SetValueFromText(v.syntax, v, value);
    return v;
}

VariableDef Counter(const char* name, long long value)
{
    VariableDef v = Int(name, value);
    v.syntax = Syntax::Counter32;
    return v;
}

// A writable setting of the configuration.
VariableDef Rw(VariableDef v)
{
    v.writable = true;
    v.config = true;
    return v;
}

// A writable command (not saved in the configuration).
VariableDef Cmd(VariableDef v)
{
    v.writable = true;
    return v;
}

VariableDef Secret(VariableDef v)
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

void Add(MibShape& shape, const std::string& suffix, VariableDef v)
{
    shape.add(DeviceOid::Private(suffix.c_str()), std::move(v));
}

// A scalar: the instance is the object's OID followed by ".0".
void Scalar(MibShape& shape, const char* object, VariableDef v) { Add(shape, Suffix(object, 0), std::move(v)); }

const char* const kChannelList = "1 2 3 4 5 6 7 8 9 10 11";
const char* const kDataRateList = "Auto 1 2 5.5 6 9 11 12 18 24 36 48 54";

void AddSystemGroup(MibShape& shape)
{
    auto add = [&](const char* suffix, VariableDef v) { shape.add(DeviceOid::System(suffix), std::move(v)); };
    add("1.0", Text("sysDescr", "VTA-3100QX Wireless Access Point, firmware 2.05"));
    VariableDef objectId;
    objectId.name = "sysObjectID";
    objectId.syntax = Syntax::ObjectId;
    objectId.objectId = kPrivateRoot;
    add("2.0", objectId);
    VariableDef upTime = Int("sysUpTime", 0);
    upTime.syntax = Syntax::TimeTicks;
    add("3.0", upTime);
    add("4.0", Rw(Text("sysContact", "")));
    add("5.0", Rw(Text("sysName", "VTA-3100QX")));
    add("6.0", Rw(Text("sysLocation", "")));
    add("7.0", Int("sysServices", 2));
}

void AddRadios(MibShape& shape)
{
    for (int r = 1; r <= 2; ++r) {
        const bool inUse = r == 1;
        // Basic settings (home group).
        Add(shape, Suffix("1.1.1.1", r), Rw(Text("hSSID", inUse ? "VTA3100QX" : "VTA3100QX-2", 32)));
        Add(shape, Suffix("1.1.1.2", r), Rw(Enum("hSSIDBroadcast", 1, {0, 1})));
        Add(shape, Suffix("1.1.1.3", r), Rw(Int("hChannel", inUse ? 6 : 11, 1, 11)));
        Add(shape, Suffix("1.1.1.4", r), Text("hChannelList", kChannelList));
        // AP mode and WDS partners.
        Add(shape, Suffix("2.1.1.1", r), Rw(Enum("adAPMode", 1, {1, 2, 3, 4, 5})));
        for (int slot = 1; slot <= 8; ++slot)
            Add(shape, Suffix("2.2.1.2", r, slot), Rw(Mac("adPtPRemoteAPMACAddress", "000000000000")));
        // Performance.
        Add(shape, Suffix("2.3.1.1", r), Text("adFrequency", "2.4"));
        Add(shape, Suffix("2.3.1.2", r), Rw(Int("adChannel", inUse ? 6 : 11, 1, 11)));
        Add(shape, Suffix("2.3.1.3", r), Text("adChannelList", kChannelList));
        Add(shape, Suffix("2.3.1.4", r), Rw(Text("adDataRate", "Auto", 8)));
        Add(shape, Suffix("2.3.1.5", r), Text("adDataRateList", kDataRateList));
        Add(shape, Suffix("2.3.1.6", r), Rw(Int("adBeaconInterval", 100, 20, 1000)));
        Add(shape, Suffix("2.3.1.7", r), Rw(Int("adDTIM", 1, 1, 255)));
        Add(shape, Suffix("2.3.1.8", r), Rw(Int("adFragmentLength", 2346, 256, 2346)));
        Add(shape, Suffix("2.3.1.9", r), Rw(Int("adRTSLength", 2346, 256, 2346)));
        Add(shape, Suffix("2.3.1.10", r), Rw(Enum("adTransmitPower", 1, {1, 2, 3, 4, 5})));
        Add(shape, Suffix("2.3.1.11", r), Rw(Enum("adSuperMode", 3, {1, 2, 3})));
        Add(shape, Suffix("2.3.1.12", r), Rw(Enum("adRadioWave", inUse ? 1 : 0, {0, 1})));
        Add(shape, Suffix("2.3.1.14", r), Rw(Enum("adAutoChannelScan", 0, {0, 1})));
        Add(shape, Suffix("2.3.1.17", r), Rw(Enum("advancedPerformanceShortPreamble", 1, {0, 1})));
        Add(shape, Suffix("2.3.1.18", r), Rw(Enum("advancedPerformanceWMM", 1, {0, 1})));
        Add(shape, Suffix("2.3.1.19", r), Rw(Enum("advancedPerformanceAntennaDiversity", 0, {0, 1, 2})));
        Add(shape, Suffix("2.3.1.99", r), Rw(Enum("adXR", 0, {0, 1})));
        // Access filter and WLAN partition.
        Add(shape, Suffix("2.4.1.1.1", r), Rw(Enum("adAccSettingWirelessAccessControl", 1, {1, 2, 3})));
        Add(shape, Suffix("2.4.3.1.1", r), Rw(Enum("adInternalStationConnection", 1, {0, 1})));
        Add(shape, Suffix("2.4.3.1.2", r), Rw(Enum("adEthernet2WLANAccess", 1, {0, 1})));
        Add(shape, Suffix("2.4.3.1.3", r), Rw(Enum("adInternaStationConnectionBetweenag", 1, {0, 1})));
        for (int row = 1; row <= kMacFilterRows; ++row)
            Add(shape, Suffix("2.4.2.1.2", r, row), Rw(Mac("MAC Address", "000000000000")));
        // Security.
        Add(shape, Suffix("2.5.1.1.1", r), Rw(Enum("adSecAuthentication", 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10})));
        Add(shape, Suffix("2.5.1.1.2", r), Rw(Enum("adSecEncryption", 0, {0, 1})));
        Add(shape, Suffix("2.5.1.1.3", r), Rw(Enum("adSecValidKey", 1, {1, 2, 3, 4})));
        VariableDef passPhrase = Secret(Rw(Text("adSecPassPhrase", "", 63)));
        passPhrase.allowedLengths = {0, 8, 9, 10};
        for (size_t n = 11; n <= 63; ++n)
            passPhrase.allowedLengths.push_back(n);
        Add(shape, Suffix("2.5.1.1.4", r), passPhrase);
        Add(shape, Suffix("2.5.1.1.5", r), Rw(Enum("adSecCipherType", 2, {1, 2, 3, 4})));
        Add(shape, Suffix("2.5.1.1.6", r),
            Rw(Int("adSecGroupKeyUpdateInterval", 1800, inUse ? 300 : 30, inUse ? 18000 : 9999999)));
        Add(shape, Suffix("2.5.1.1.7", r), Int("advancedEncryptionKeySettingUpdateIntervalSupport", 1));
        for (int key = 1; key <= 4; ++key) {
            VariableDef wep = Secret(Rw(Text(r == 1 ? "adSecKey-80211a" : "adSecKey-80211g", "", 32)));
            wep.allowedLengths = {0, 10, 26, 32};
            wep.hexDigitsOnly = true;
            Add(shape, Suffix("2.5.3.1.1", r, key), wep);
        }
        // Site survey command (its table is filled by the command). The device takes it as a
        // scalar per radio: the instance is ".R.0", as the rogue detection command's is ".0".
        Add(shape, Suffix("2.8.1.1", r) + ".0", Cmd(Enum("adRefresh", 0, {0, 1})));
        // Multi-SSID: the master SSID row shows the radio's own settings.
        VariableDef masterSsid = Rw(Text("adMSSIDSSID", "", 32));
        masterSsid.aliasOf = DeviceOid::Private(Suffix("1.1.1.1", r).c_str());
        Add(shape, Suffix("2.9.1.1.1", r), masterSsid);
        VariableDef masterAuth = Rw(Enum("adMSSIDAuth", 1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        masterAuth.aliasOf = DeviceOid::Private(Suffix("2.5.1.1.1", r).c_str());
        Add(shape, Suffix("2.9.1.1.2", r), masterAuth);
        Add(shape, Suffix("2.9.1.1.3", r), Rw(Int("adVlanTagID", 1, 1, 4094)));
        for (int guest = 1; guest <= 3; ++guest) {
            Add(shape, Suffix("2.9.2.1.2", r, guest), Rw(Enum("adMSSIDState", 0, {0, 1})));
            Add(shape, Suffix("2.9.2.1.3", r, guest), Rw(Text("adMSSIDSSID", "Guest" + std::to_string(guest), 32)));
            Add(shape, Suffix("2.9.2.1.4", r, guest), Rw(Enum("adMSSIDAuth", 1, {1, 2, 3})));
            Add(shape, Suffix("2.9.2.1.6", r, guest), Rw(Enum("adMSSIDKeyIndex", guest + 1, {1, 2, 3, 4})));
            VariableDef key = Secret(Rw(Text("adMSSIDKey", "", 32)));
            key.allowedLengths = {0, 10, 26, 32};
            key.hexDigitsOnly = true;
            Add(shape, Suffix("2.9.2.1.7", r, guest), key);
            Add(shape, Suffix("2.9.2.1.9", r, guest), Rw(Int("adVlanTagID", guest + 1, 1, 4094)));
        }
        // Status group: what the radio runs now (follows the settings at each start).
        Add(shape, Suffix("4.1.2.1.1", r), Text("stSSID", inUse ? "VTA3100QX" : "VTA3100QX-2"));
        Add(shape, Suffix("4.1.2.1.2", r), Int("stChannel", inUse ? 6 : 11));
        Add(shape, Suffix("4.1.2.1.4", r), Text("stDataRate", "Auto"));
        Add(shape, Suffix("4.1.2.1.5", r), Text("stSecLevelAuth", "Open System"));
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
            Add(shape, Suffix("4.3.1.1", c, r),
                c <= 4 ? Int(counters[c - 1], inUse ? (c == 1 || c == 3 ? 98 : 2) : 0)
                       : Counter(counters[c - 1], 0));
        Add(shape, Suffix("4.5.1.1.1", r), Cmd(Enum("adGetClient", 0, {0, 1})));
        Add(shape, Suffix("99.1.1.2", r), Int("turbomodes", 0));
    }
}

void AddLanAndServices(MibShape& shape)
{
    Scalar(shape, "1.2.1", Rw(Enum("hGetIPFrom", 1, {1, 2})));
    Scalar(shape, "1.2.2", Rw(Ip("hIPAddress", "192.168.0.50")));
    Scalar(shape, "1.2.3", Rw(Ip("hSubnetMask", "255.255.255.0")));
    Scalar(shape, "1.2.4", Rw(Ip("hDefaultGateway", "192.168.0.1")));
    Scalar(shape, "2.5.2.3", Rw(Ip("Sec RADIUS Server", "0.0.0.0")));
    Scalar(shape, "2.5.2.4", Rw(Int("Sec RADIUS Port", 1812, 1, 65535)));
    Scalar(shape, "2.5.2.5", Rw(Text("Sec RADIUS Secret", "", 64)));
    // Grouping.
    Scalar(shape, "2.6.1", Rw(Enum("LoadBalance", 0, {0, 1})));
    Scalar(shape, "2.6.2", Rw(Int("UserLimit(0-64)", 32, 0, 64)));
    Scalar(shape, "2.6.3", Rw(Enum("LinkIntegrate", 0, {0, 1})));
    Scalar(shape, "2.6.4", Text("EthernetLinkStatus", "Up"));
    // DHCP server.
    Scalar(shape, "2.7.1", Rw(Enum("Dynamic IP Function", 1, {0, 1})));
    Scalar(shape, "2.7.2.1", Rw(Ip("Dynamic IP Start", "192.168.0.100")));
    Scalar(shape, "2.7.2.2", Rw(Int("Dynamic Range", 50, 1, 255)));
    Scalar(shape, "2.7.2.3", Rw(Ip("Dynamic Mask", "255.255.255.0")));
    Scalar(shape, "2.7.2.4", Rw(Ip("Dynamic Gateway", "192.168.0.1")));
    Scalar(shape, "2.7.2.5", Rw(Ip("Dynamic Wins", "0.0.0.0")));
    Scalar(shape, "2.7.2.6", Rw(Ip("Dynamic Dns", "192.168.0.1")));
    Scalar(shape, "2.7.2.7", Rw(Text("Dynamic Domain", "", 63)));
    Scalar(shape, "2.7.2.8", Rw(Int("Dynamic Lease", 86400, 60, 31536000)));
    Scalar(shape, "2.7.2.9", Rw(Enum("Dynamic Status", 1, {0, 1})));
    for (int row = 1; row <= kStaticLeaseRows; ++row) {
        Add(shape, Suffix("2.7.3.1.2", row), Rw(Ip("IP", "0.0.0.0")));
        Add(shape, Suffix("2.7.3.1.3", row), Rw(Mac("MAC", "000000000000")));
        Add(shape, Suffix("2.7.3.1.4", row), Rw(Ip("Mask", "0.0.0.0")));
        Add(shape, Suffix("2.7.3.1.5", row), Rw(Ip("Gateway", "0.0.0.0")));
        Add(shape, Suffix("2.7.3.1.6", row), Rw(Ip("Wins", "0.0.0.0")));
        Add(shape, Suffix("2.7.3.1.7", row), Rw(Ip("DNS", "0.0.0.0")));
        Add(shape, Suffix("2.7.3.1.8", row), Rw(Text("Domain", "", 63)));
        Add(shape, Suffix("2.7.3.1.9", row), Rw(Enum("Status", 0, {0, 1})));
    }
    Scalar(shape, "2.7.4.3.1", Cmd(Enum("DynamicGet", 0, {0, 1})));
    Scalar(shape, "2.7.4.3.2", Cmd(Enum("StaticGet", 0, {0, 1})));
    // VLAN.
    Scalar(shape, "2.9.3.1.1", Rw(Enum("adVlanState", 0, {0, 1})));
    // Rogue AP detection.
    Scalar(shape, "2.10.1", Rw(Enum("bssTypeDetected", 1, {1, 2, 3})));
    Scalar(shape, "2.10.2", Rw(Int("bandTypeDetected", 12, 0, 255)));
    Scalar(shape, "2.10.3", Rw(Int("securityTypeDetected", 255, 0, 255)));
    Scalar(shape, "2.10.4.1.1", Cmd(Enum("rogueAPDetect", 0, {0, 1})));
    Scalar(shape, "2.10.4.1.2", Cmd(Int("addRogueAPtoAPList", 0, 0, INT_MAX)));
    Scalar(shape, "2.10.4.1.3", Cmd(Int("deleteRogueAPFromResult", 0, 0, INT_MAX)));
    Scalar(shape, "2.10.4.2.1", Cmd(Int("deleteRogueAPfromAPList", 0, 0, INT_MAX)));
    // Log.
    Scalar(shape, "2.11.1", Rw(Enum("adSystemLevel", 1, {0, 1})));
    Scalar(shape, "2.11.2", Rw(Enum("adWirelessLevel", 1, {0, 1})));
    Scalar(shape, "2.11.3", Rw(Enum("adNoticeLevel", 1, {0, 1})));
    Scalar(shape, "2.11.9", Rw(Ip("adLogServerIP", "0.0.0.0")));
    Scalar(shape, "2.11.10", Cmd(Enum("adClearLocalLog", 0, {0, 1})));
    Scalar(shape, "2.11.11.1", Cmd(Enum("adGetLog", 0, {0, 1})));
    // Administration.
    Scalar(shape, "3.1.1", Rw(Text("UserName", "admin", 64)));
    Scalar(shape, "3.1.2", Rw(Text("Password", "", 12)));
    Scalar(shape, "3.2.1", Cmd(Enum("sysRestart", 0, {0, 1})));
    Scalar(shape, "3.2.2", Cmd(Enum("FactoryDefault", 0, {0, 1})));
    Scalar(shape, "3.3.1", Cmd(Ip("remotesrvip", "0.0.0.0")));
    Scalar(shape, "3.3.2", Cmd(Text("remotefilename", "", 128)));
    Scalar(shape, "3.3.3", Cmd(Text("localfilename", "", 128)));
    Scalar(shape, "3.3.5", Cmd(Enum("tftpcommand", 4, {1, 2, 3, 4})));
    Scalar(shape, "3.4.1", Rw(Enum("telnet", 1, {0, 1})));
    Scalar(shape, "3.4.2", Rw(Enum("timeout", 3, {1, 2, 3, 4, 5, 6})));
    Scalar(shape, "3.4.4", Rw(Enum("snmp", 1, {0, 1})));
    // Status: what the device runs now.
    Scalar(shape, "4.1.1.1", Text("stFirmwareVersion", "2.05"));
    Scalar(shape, "4.1.1.2", Mac("stMacAddress", "00E0A6310524"));
    Scalar(shape, "4.1.1.3", Enum("stGetIPFrom", 1, {1, 2}));
    Scalar(shape, "4.1.1.4", Ip("stIPAddress", "192.168.0.50"));
    Scalar(shape, "4.1.1.5", Ip("stSubnetMask", "255.255.255.0"));
    Scalar(shape, "4.1.1.6", Ip("stDefaultGateway", "192.168.0.1"));
    Add(shape, "4.4.0", Int("stLED", 0));
    Scalar(shape, "4.6.1", Int("statusIndicationTemperature", 42));
    // Capabilities.
    Scalar(shape, "99.1.1.1", Int("apmodes", 7));
    Scalar(shape, "99.1.1.6", Text("countrycode", "US"));
    Scalar(shape, "99.1.1.7", Int("clientinfosupported", 1));
    Scalar(shape, "99.1.1.9", Int("mssidsupported", 1));
}


void AddTables(MibShape& shape)
{
    shape.addTable({"survey", DeviceOid::Private("2.8.2.1"), 2,
                    {{2, Text(" Type", "")}, {3, Int(" Channel", 0)}, {4, Int(" Signal (%)", 0)},
                     {5, Mac(" BSSID", "000000000000")}, {6, Text(" Security ", "")}, {7, Text(" SSID", "")}}});
    shape.addTable({"macFilter", DeviceOid::Private("2.4.2.1"), 2, {{2, Rw(Mac("MAC Address", "000000000000"))}}});
    shape.addTable({"staticLease", DeviceOid::Private("2.7.3.1"), 1,
                    {{2, Rw(Ip("IP", "0.0.0.0"))}, {3, Rw(Mac("MAC", "000000000000"))},
                     {4, Rw(Ip("Mask", "0.0.0.0"))}, {5, Rw(Ip("Gateway", "0.0.0.0"))},
                     {6, Rw(Ip("Wins", "0.0.0.0"))}, {7, Rw(Ip("DNS", "0.0.0.0"))},
                     {8, Rw(Text("Domain", "", 63))}, {9, Rw(Enum("Status", 0, {0, 1}))}}});
    shape.addTable({"dynamicMapping", DeviceOid::Private("2.7.4.1.1"), 1,
                    {{2, Mac("Current Dynamic MAC", "000000000000")},
                     {3, Ip("Current Dynamic Assigned IP", "0.0.0.0")},
                     {4, Int("Current Dynamic Lease", 0)}}});
    shape.addTable({"staticMapping", DeviceOid::Private("2.7.4.2.1"), 1,
                    {{2, Mac("Current Static MAC", "000000000000")}, {3, Ip("Current Static Assigned IP", "0.0.0.0")}}});
    const std::vector<std::pair<oid, VariableDef>> rogueColumns = {
        {2, Text("Type", "")}, {3, Int("CH", 0)},        {4, Int("RSSI", 0)},  {5, Mac("BSSID", "000000000000")},
        {7, Int("Mode", 3)},   {8, Text("SSID", "")},    {9, Int("Security", 0)}};
    shape.addTable({"rogueResult", DeviceOid::Private("2.10.4.1.4.1"), 1, rogueColumns});
    shape.addTable({"rogueApList", DeviceOid::Private("2.10.4.2.2.1"), 1, rogueColumns});
    shape.addTable({"log", DeviceOid::Private("2.11.12.1"), 1, {{2, Text("Time", "")}, {3, Text("Message", "")}}});
    shape.addTable({"client", DeviceOid::Private("4.5.2.1"), 2,
                    {{2, Mac("MAC", "000000000000")}, {3, Enum("Band", 2, {1, 2})}, {4, Int("Auth", 1)},
                     {5, Int("RSSI", 0)}, {8, Enum("Power Saving Mode", 0, {0, 1})}}});
}

}  // namespace

const MibShape& DeviceShape()
{
    static const MibShape shape = [] {
        MibShape built;
        AddSystemGroup(built);
        AddRadios(built);
        AddLanAndServices(built);
        AddTables(built);
        return built;
    }();
    return shape;
}
