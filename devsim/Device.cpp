#include "Device.h"

#include "DeviceModel.h"
#include "OptionalFeatures.h"
#include "StateFile.h"

#include <cstdio>
#include <ctime>
#include <regex>

namespace {
constexpr size_t kLogCapacity = 10000;

const char* const kAuthTexts[] = {"Open System", "Shared Key", "Open System / Shared Key", "802.1x", "WPA-EAP",
                                  "WPA-PSK",     "WPA2-EAP",   "WPA2-PSK",                 "WPA-Auto-EAP",
                                  "WPA-Auto-PSK"};

std::string Mac(unsigned prefix, unsigned serial)
{
    char text[16];
    std::snprintf(text, sizeof text, "00%02X%02X%06X", prefix & 0xFF, (serial >> 24) & 0xFF, serial & 0xFFFFFF);
    return text;
}

std::string Ip(uint32_t address)
{
    char text[20];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF,
                  address & 0xFF);
    return text;
}

// A subnet mask: ones from the top, then only zeros, and not all zeros.
bool IsContiguousMask(uint32_t mask) { return mask != 0 && ((~mask + 1) & ~mask) == 0; }

uint32_t IpNumber(const std::string& bytes)
{
    if (bytes.size() != 4)
        return 0;
    uint32_t value = 0;
    for (unsigned char byte : bytes)
        value = value << 8 | byte;
    return value;
}

std::string Radio(const char* base, int radio) { return std::string(base) + "." + std::to_string(radio); }
}  // namespace

struct Device::Transfer {
    int command = 0;
    std::string fileName;
    std::unique_ptr<TftpTransfer> tftp;
};

bool FirmwareVersion(const std::string& image, const std::string& fileName, int& major, int& minor)
{
    static const std::regex version(R"((\d+)\.(\d+))");
    const std::string firstLine = image.substr(0, std::min(image.find('\n'), size_t{128}));
    for (const std::string* source : {&firstLine, &fileName}) {
        std::smatch match;
        if (std::regex_search(*source, match, version)) {
            major = std::stoi(match[1]);
            minor = std::stoi(match[2]);
            return true;
        }
    }
    return false;
}

Device::Device(DeviceSettings settings) : m_settings(settings), m_store(DeviceShape())
{
    if (m_settings.signalStrength) {
        static const VariableInfo rssi = [] {
            VariableInfo info;
            info.name = "rssiInfo";
            return info;
        }();
        Value strength;
        strength.number = m_settings.signalStrengthValue;
        m_store.add(Concat(kSignalRoot, {4, 6, 2, 1, 1, 1}), rssi, strength);
    }
    at("4.6.1.0")->number = m_settings.temperatureValue;
    // What this firmware lacks is hidden, not removed: the device's own workings (its
    // restart, its commands) still find every object they use.
    if (!m_settings.temperature)
        m_store.hide(DeviceOid::Private("4.6.1"));
    if (!m_settings.clientTable) {
        m_store.hide(DeviceOid::Private("4.5.1.1.1"));
        m_store.hide(DeviceOid::Private("4.5.2"));
    }
    for (const Oid& object : m_settings.missingObjects)
        m_store.hide(object);
    for (const std::string& feature : m_settings.missingFeatures)
        for (const Oid& instance : OptionalFeatureInstances(feature)) {
            m_store.hide(instance);
            m_lacking.insert(instance);
        }
    for (int n = 1; n <= m_settings.logRows; ++n)
        log("Synthetic log entry " + std::to_string(n));
    boot();
    fillSurvey(1);
    publishLog();
}

Device::~Device() = default;

Variable* Device::at(const char* suffix) { return m_store.storage(DeviceOid::Private(suffix)); }
long long Device::number(const char* suffix) { return at(suffix)->number; }
std::string Device::text(const char* suffix) { return at(suffix)->bytes; }

void Device::log(const std::string& message)
{
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    m_log.emplace_back(stamp, message);
    while (m_log.size() > std::max(kLogCapacity, static_cast<size_t>(m_settings.logRows)))
        m_log.pop_front();
}

void Device::boot()
{
    m_bootTime = Clock::now();
    ++m_boots;
    // Settings that need a restart: the running status follows the saved configuration now.
    auto copy = [&](const std::string& to, const std::string& from) {
        Variable* target = at(to.c_str());
        const Variable* source = at(from.c_str());
        target->number = source->number;
        target->bytes = source->bytes;
    };
    copy("4.1.1.3.0", "1.2.1.0");
    copy("4.1.1.4.0", "1.2.2.0");
    copy("4.1.1.5.0", "1.2.3.0");
    copy("4.1.1.6.0", "1.2.4.0");
    for (int r = 1; r <= 2; ++r) {
        copy(Radio("4.1.2.1.1", r), Radio("1.1.1.1", r));
        copy(Radio("4.1.2.1.2", r), Radio("1.1.1.3", r));
        copy(Radio("4.1.2.1.4", r), Radio("2.3.1.4", r));
        const long long auth = number(Radio("2.5.1.1.1", r).c_str());
        at(Radio("4.1.2.1.5", r).c_str())->bytes = kAuthTexts[std::clamp(auth, 1LL, 10LL) - 1];
        m_radioRunning[r - 1] = number(Radio("2.3.1.12", r).c_str()) == 1;
        for (int c = 5; c <= 18; ++c)
            at((std::string("4.3.1.1.") + std::to_string(c) + "." + std::to_string(r)).c_str())->number = 0;
        m_counterTimes.clear();
        fillClients(r);
    }
    if (!m_pendingFirmware.empty()) {
        at("4.1.1.1.0")->bytes = m_pendingFirmware;
        m_store.storage(DeviceOid::System("1.0"))->bytes =
            "VTA-3100QX Wireless Access Point, firmware " + m_pendingFirmware;
        m_pendingFirmware.clear();
    }
    at("3.2.1.0")->number = 0;
    log("System started, firmware " + text("4.1.1.1.0") + ", IP address " + ValueText(*at("4.1.1.4.0")));
}

void Device::factoryReset()
{
    // Every setting goes back, also the rows of settings tables that were added or removed
    // since; status, counters and command objects stay as they are.
    m_store.restoreSettings();
    log("Factory default settings restored");
}

void Device::refreshLive(const Oid& instance, Variable& variable)
{
    if (instance == DeviceOid::System("3.0")) {
        variable.number = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_bootTime).count() / 10;
    } else if (HasPrefix(instance, DeviceOid::Private("4.3.1.1")) && instance.size() == kPrivateRoot.size() + 6 &&
               variable.info->syntax == Syntax::Counter32) {
        // Traffic counters run while their radio runs: frames per second by column, errors
        // slower. Radio 1's follow --traffic-rate (transmitted frames per second), the others
        // keep their proportions to it. They wrap at 2^32 like any Counter32.
        static const int perTenSeconds[19] = {0, 0, 0, 0, 0, 50, 2, 1200, 80, 3, 60, 20, 1500, 90, 4, 6, 5, 1, 1};
        const int column = static_cast<int>(instance[instance.size() - 2]);
        const int radio = static_cast<int>(instance.back());
        const auto now = Clock::now();
        auto [last, inserted] = m_counterTimes.try_emplace(instance, m_bootTime);
        const double perSecond = column >= 5 && column <= 18
                                     ? perTenSeconds[column] / 10.0 *
                                           (radio == 1 ? m_settings.trafficRate / double(kDefaultTrafficRate) : 1.0)
                                     : 0.0;
        if (radio >= 1 && radio <= 2 && m_radioRunning[radio - 1] && perSecond > 0) {
            const double elapsed = std::chrono::duration<double>(now - last->second).count();
            const auto step = static_cast<long long>(elapsed * perSecond);
            if (step > 0) {
                variable.number = (variable.number + step) & 0xFFFFFFFFLL;
                // The part of a frame not yet counted carries over to the next read.
                last->second += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(step / perSecond));
            }
        } else {
            last->second = now;
        }
    } else if (instance == DeviceOid::Private("4.4.0")) {
        // Lamps: power always on; LAN on with link; a radio lamp on while the radio runs and
        // blinking while stations are associated with it.
        long long flags = 1;
        if (text("2.6.4.0") == "Up")
            flags |= 4;
        const long long onBits[2] = {16, 64};
        for (int r = 1; r <= 2; ++r) {
            if (!m_radioRunning[r - 1])
                continue;
            flags |= onBits[r - 1];
            if (!m_store.rowIndexes("client", {static_cast<oid>(r)}).empty())
                flags |= onBits[r - 1] * 2;
        }
        variable.number = flags;
    }
}

bool Device::configureLan(const std::string& address, const std::string& mask, std::string& error)
{
    Variable* ip = at("1.2.2.0");
    Variable* subnet = at("1.2.3.0");
    Variable newIp = *ip, newMask = *subnet;
    if (!SetValueFromText(newIp, address) || !SetValueFromText(newMask, mask) ||
        !IsContiguousMask(IpNumber(newMask.bytes)) || IpNumber(newIp.bytes) == 0) {
        error = "'" + address + "/" + mask + "' is not a usable address and subnet mask";
        return false;
    }
    *ip = newIp;
    *subnet = newMask;
    at("4.1.1.4.0")->bytes = newIp.bytes;
    at("4.1.1.5.0")->bytes = newMask.bytes;
    return true;
}

int Device::checkSet(const Oid& instance, const Variable& updated)
{
    const Oid& s = instance;
    auto is = [&](const char* suffix) { return s == DeviceOid::Private(suffix); };
    if (HasPrefix(s, DeviceOid::Private("2.3.1.4")) && s.size() == kPrivateRoot.size() + 5) {
        // The data rate must be one of the radio's rates.
        const std::string list = " " + text(Radio("2.3.1.5", static_cast<int>(s.back())).c_str()) + " ";
        if (list.find(" " + updated.bytes + " ") == std::string::npos)
            return SNMP_ERR_WRONGVALUE;
    }
    if (is("1.2.3.0") && !IsContiguousMask(IpNumber(updated.bytes)))
        return SNMP_ERR_WRONGVALUE;  // the device's own mask must be a real one
    if (is("1.2.2.0") && IpNumber(updated.bytes) == 0)
        return SNMP_ERR_WRONGVALUE;
    if (is("3.1.1.0") &&
        updated.bytes.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789@._-") !=
            std::string::npos)
        return SNMP_ERR_WRONGVALUE;  // user names: letters, digits and @ . _ -
    auto rowExists = [&](const char* table, long long key) {
        return key > 0 && m_store.find(Concat(m_store.table(table)->entry, {2, static_cast<oid>(key)})) != nullptr;
    };
    if ((is("2.10.4.1.2.0") || is("2.10.4.1.3.0")) && !rowExists("rogueResult", updated.number))
        return SNMP_ERR_INCONSISTENTVALUE;
    if (is("2.10.4.2.1.0") && !rowExists("rogueApList", updated.number))
        return SNMP_ERR_INCONSISTENTVALUE;
    if (is("3.3.5.0") && updated.number != 4)
        return SNMP_ERR_GENERR;  // transfers are started by the agent, which answers them late
    return SNMP_ERR_NOERROR;
}

void Device::committed(const Oid& instance)
{
    const Variable* variable = m_store.storage(instance);
    const long long value = variable ? variable->number : 0;
    auto is = [&](const char* suffix) { return instance == DeviceOid::Private(suffix); };
    auto radioCommand = [&](const char* column) {
        return HasPrefix(instance, DeviceOid::Private(column)) && instance.size() == kPrivateRoot.size() + 5
                   ? static_cast<int>(instance.back())
                   : 0;
    };
    if (is("3.2.1.0") && value == 1) {
        log("Restart requested");
        m_restartAt = Clock::now();
    } else if (is("3.2.2.0") && value == 1) {
        factoryReset();
    } else if ((is("2.8.1.1.1.0") || is("2.8.1.1.2.0")) && value == 1) {
        fillSurvey(static_cast<int>(instance[instance.size() - 2]));
    } else if (int r = radioCommand("4.5.1.1.1"); r && value == 1) {
        fillClients(r);
    } else if ((is("2.7.4.3.1.0") || is("2.7.4.3.2.0")) && value == 1) {
        fillMappings();
    } else if (is("2.11.11.1.0") && value == 1) {
        publishLog();
    } else if (is("2.11.10.0") && value == 1) {
        m_log.clear();
        publishLog();
    } else if (is("2.10.4.1.1.0") && value == 1) {
        detectRogues();
    } else if (is("2.10.4.1.2.0")) {
        moveRogueToList(value);
    } else if (is("2.10.4.1.3.0")) {
        m_store.clearRows("rogueResult", {static_cast<oid>(value)});
    } else if (is("2.10.4.2.1.0")) {
        m_store.clearRows("rogueApList", {static_cast<oid>(value)});
    } else if (variable && variable->info->config) {
        log("Setting " + variable->info->name + " changed");
    }
}

bool Device::silent(Clock::time_point now) const { return m_bootAt.has_value(); }

void Device::poll(Clock::time_point now)
{
    if (m_restartAt && now >= *m_restartAt) {
        m_restartAt.reset();
        m_bootAt = now + std::chrono::seconds(m_settings.restartSeconds);
    }
    if (m_bootAt && now >= *m_bootAt) {
        m_bootAt.reset();
        boot();
    }
}

void Device::fillClients(int radio)
{
    if (!m_settings.clientTable)
        return;
    m_store.clearRows("client", {static_cast<oid>(radio)});
    if (!m_radioRunning[radio - 1])
        return;
    const int stations = radio == 1 ? m_settings.clientRows : m_settings.clientRows2;
    int empty = radio == 1 ? m_settings.emptyClientRows : 0;
    const long long auth = number(Radio("2.5.1.1.1", radio).c_str());
    const std::string band = radio == 1 ? "2" : "1";
    // Free slots stand after the first stations, one after each, then any left at the end.
    oid row = 0;
    for (int i = 1; i <= stations || empty > 0; ++i) {
        if (i <= stations)
            m_store.setRow("client", {static_cast<oid>(radio), ++row},
                           {Mac(0x1B, static_cast<unsigned>(radio << 20 | i)), band, std::to_string(auth),
                            std::to_string(35 + (i * 37) % 61), i % 3 == 0 ? "1" : "0"});
        if (empty > 0) {
            m_store.setRow("client", {static_cast<oid>(radio), ++row}, {"000000000000", band, "1", "0", "0"});
            --empty;
        }
    }
}

void Device::fillSurvey(int radio)
{
    static const char* const security[] = {"OFF", "WEP", "WPA-PSK", "WPA2-PSK", "WPA-EAP"};
    m_store.clearRows("survey", {static_cast<oid>(radio)});
    for (int n = 1; n <= m_settings.surveyRows; ++n)
        m_store.setRow("survey", {static_cast<oid>(radio), static_cast<oid>(n)},
                       {n % 7 == 0 ? "Ad-Hoc" : "AP", std::to_string(1 + (n * 5) % 11), std::to_string(15 + (n * 29) % 80),
                        Mac(0x50, static_cast<unsigned>(radio << 20 | n)), security[n % 5],
                        "Neighbour-" + std::to_string(n)});
}

void Device::fillMappings()
{
    m_store.clearRows("dynamicMapping");
    m_store.clearRows("staticMapping");
    const uint32_t start = IpNumber(at("2.7.2.1.0")->bytes);
    const long long range = number("2.7.2.2.0");
    const long long lease = number("2.7.2.8.0");
    if (number("2.7.1.0") == 1) {
        long long n = 0;
        for (const Oid& index : m_store.rowIndexes("client")) {
            const Variable* mac = m_store.find(Concat(m_store.table("client")->entry, Concat({2}, index)));
            if (ValueText(*mac) == "000000000000")
                continue;  // a free slot, no station
            if (++n > range)
                break;
            m_store.setRow("dynamicMapping", {static_cast<oid>(n)},
                           {ValueText(*mac), Ip(start + static_cast<uint32_t>(n - 1)),
                            std::to_string(std::max(0LL, lease - n * 60))});
        }
    }
    oid row = 0;
    for (int lease = 1; lease <= kStaticLeaseRows; ++lease) {
        const Variable* ip = at(("2.7.3.1.2." + std::to_string(lease)).c_str());
        const Variable* mac = at(("2.7.3.1.3." + std::to_string(lease)).c_str());
        if (IpNumber(ip->bytes) == 0 || number(("2.7.3.1.9." + std::to_string(lease)).c_str()) != 1)
            continue;
        m_store.setRow("staticMapping", {++row}, {ValueText(*mac), ValueText(*ip)});
    }
}

void Device::publishLog()
{
    m_store.clearRows("log");
    oid index = 0;
    for (const auto& [time, message] : m_log)
        m_store.setRow("log", {++index}, {time, message});
}

void Device::detectRogues()
{
    // Neighbours the radio hears; the detection keeps those matching the chosen BSS type,
    // bands (mode bit numbers 0 a, 2 b, 3 g) and security kinds (bit = security value).
    struct Heard {
        const char* type;
        int channel, rssi, security, mode;
        const char* ssid;
    };
    static const Heard heard[] = {
        {"AP", 1, 62, 0, 3, "CoffeeShop"},   {"AP", 6, 48, 1, 3, "Office-Legacy"}, {"AP", 11, 71, 3, 3, "HomeNet"},
        {"AP", 3, 25, 5, 2, "Printer-Setup"}, {"Ad-Hoc", 9, 33, 0, 3, "LaptopShare"}, {"AP", 36, 55, 4, 0, "Corp5G"},
    };
    const long long bss = number("2.10.1.0");
    const long long bands = number("2.10.2.0");
    const long long kinds = number("2.10.3.0");
    m_store.clearRows("rogueResult");
    oid index = 0;
    for (size_t i = 0; i < std::size(heard); ++i) {
        const Heard& h = heard[i];
        const bool adHoc = std::string(h.type) == "Ad-Hoc";
        if ((bss == 1 && adHoc) || (bss == 2 && !adHoc) || !(bands >> h.mode & 1) || !(kinds >> h.security & 1))
            continue;
        m_store.setRow("rogueResult", {++index},
                       {h.type, std::to_string(h.channel), std::to_string(h.rssi),
                        Mac(0x90, static_cast<unsigned>(i + 1)), std::to_string(h.mode), h.ssid,
                        std::to_string(h.security)});
    }
    log("Rogue AP detection found " + std::to_string(index) + " access points");
}

void Device::moveRogueToList(long long key)
{
    const TableDef* result = m_store.table("rogueResult");
    std::vector<std::string> values;
    for (const auto& [column, prototype] : result->columns) {
        const Variable* cell = m_store.find(Concat(result->entry, {column, static_cast<oid>(key)}));
        if (!cell)
            return;
        values.push_back(ValueText(*cell));
    }
    const auto rows = m_store.rowIndexes("rogueApList");
    const oid next = rows.empty() ? 1 : rows.back().front() + 1;
    m_store.setRow("rogueApList", {next}, values);
    m_store.clearRows("rogueResult", {static_cast<oid>(key)});
}

const std::string& Device::configurationText() { return m_configuration.text(m_store); }

int Device::startTransfer(int command, const std::string& serverAddress, const std::string& remoteFile,
                          const std::string& localFile)
{
    const std::string& fileName = command == 3 ? localFile : remoteFile;
    if (serverAddress == "0.0.0.0" || fileName.empty())
        return SNMP_ERR_INCONSISTENTVALUE;  // nowhere to transfer from or to
    m_transfer = std::make_unique<Transfer>();
    m_transfer->command = command;
    m_transfer->fileName = fileName;
    TftpEndpoint server{serverAddress, m_settings.tftpServerPort, m_settings.tftpTimeoutMs, m_settings.tftpRetries,
                        m_settings.tftpLocalAddress};
    m_transfer->tftp = command == 3 ? TftpTransfer::Write(server, fileName, configurationText())
                                    : TftpTransfer::Read(server, fileName);
    log(std::string(command == 1 ? "Firmware download" : command == 2 ? "Configuration download"
                                                                        : "Configuration upload") +
        " started: " + fileName + " at " + serverAddress);
    return SNMP_ERR_NOERROR;
}

TftpTransfer* Device::transfer() const { return m_transfer ? m_transfer->tftp.get() : nullptr; }

std::optional<int> Device::finishedTransfer()
{
    if (!m_transfer || !m_transfer->tftp->ended())
        return std::nullopt;
    const std::unique_ptr<Transfer> job = std::move(m_transfer);
    const TftpResult& result = job->tftp->result();
    if (!result.ok) {
        log("Transfer of " + job->fileName + " failed: " + result.error);
        return SNMP_ERR_GENERR;
    }
    switch (job->command) {
    case 1: return finishFirmware(result, job->fileName);
    case 2: return finishConfiguration(result);
    default: log("Configuration stored as " + job->fileName); return SNMP_ERR_NOERROR;
    }
}

int Device::finishFirmware(const TftpResult& result, const std::string& fileName)
{
    if (result.data.empty()) {
        log("Firmware image " + fileName + " is empty");
        return SNMP_ERR_WRONGVALUE;
    }
    int major = 0, minor = 0, runningMajor = 0, runningMinor = 0;
    const bool versioned = FirmwareVersion(result.data, fileName, major, minor);
    FirmwareVersion(text("4.1.1.1.0"), {}, runningMajor, runningMinor);
    if (versioned && std::pair(major, minor) < std::pair(runningMajor, runningMinor)) {
        log("Firmware image " + fileName + " is older than the running firmware; not loaded");
        return 19;  // the device's "cannot download the overdue firmware"
    }
    if (versioned) {
        char version[32];
        std::snprintf(version, sizeof version, "%d.%02d", major, minor);
        m_pendingFirmware = version;
    }
    log("Firmware image " + fileName + " (" + std::to_string(result.data.size()) +
        " bytes) loaded; it runs after the next restart");
    return SNMP_ERR_NOERROR;
}

int Device::finishConfiguration(const TftpResult& result)
{
    std::string error;
    if (!LoadState(m_store, result.data, true, error)) {
        log("Configuration file refused: " + error);
        return SNMP_ERR_WRONGVALUE;
    }
    log("Configuration file loaded; it takes effect after the next restart");
    return SNMP_ERR_NOERROR;
}
