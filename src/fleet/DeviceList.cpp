#include "fleet/DeviceList.h"

#include "platform/Conversion.h"
#include "host/Startup.h"

#include <QHostAddress>
#include <QString>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

// The connection a fresh module would have for these arguments; the process-wide records
// are only the means to apply the switches and are reset around each device. The switches
// are applied one at a time, as the module applies its command line, so a bad one is named.
bool ApplyToDevice(const std::vector<std::string>& arguments, const std::string& configDir, FleetDevice& device,
                   std::string& error)
{
    SetDefaultSnmpSettings();
    std::string address;
    for (const std::string& argument : arguments) {
        try {
            ApplyArguments({argument}, configDir, address);
        } catch (const std::exception& failure) {
            error = "'" + argument + "': " + failure.what();
            SetDefaultSnmpSettings();
            return false;
        }
    }
    device.connection = SnmpConnection::current();
    SetDefaultSnmpSettings();
    return true;
}

// The version switch takes the host's numbers, which are not the SNMP versions' names.
bool CheckVersionSwitch(const std::string& word, std::string& error)
{
    if (word.rfind("/v", 0) != 0)
        return true;
    const std::string value = word.substr(2);
    if (value == "0" || value == "1" || value == "3")
        return true;
    error = "'" + word + "': the version switch takes 0 (SNMPv1), 1 (SNMPv2c) or 3 (SNMPv3)";
    return false;
}

// The same device however its address is written: a dotted address in its plain form, a
// host name in lower case, and the port it is reached on.
std::string DeviceKey(const FleetDevice& device)
{
    const QHostAddress literal(QString::fromStdString(device.address));
    const std::string address =
        literal.isNull() ? QString::fromStdString(device.address).toLower().toStdString() : literal.toString().toStdString();
    return address + ":" + std::to_string(device.connection.device.port);
}

bool ParsePort(const std::string& text, uint16_t& port)
{
    if (text.empty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), ::isdigit))
        return false;
    const int number = std::stoi(text);
    if (number < 1 || number > 65535)
        return false;
    port = static_cast<uint16_t>(number);
    return true;
}

}  // namespace

std::string FleetDevice::label() const
{
    const uint16_t port = connection.device.port;
    return port == 161 ? address : address + ":" + std::to_string(port);
}

bool ParseDeviceLine(const std::string& line, const std::string& configDir, FleetDevice& device,
                     std::string& error)
{
    std::istringstream words(line);
    std::string first;
    words >> first;
    if (first.empty() || first[0] == '/' || first[0] == '#') {
        error = "a device line starts with the device's address";
        return false;
    }
    if (first[0] == '[' || std::count(first.begin(), first.end(), ':') > 1) {
        error = "'" + first + "': IPv6 is not supported; give the device's IPv4 address or host name";
        return false;
    }
    uint16_t port = 0;
    if (const auto colon = first.find(':'); colon != std::string::npos) {
        if (!ParsePort(first.substr(colon + 1), port)) {
            error = "'" + first.substr(colon + 1) + "' is not a port number (1-65535)";
            return false;
        }
        first.resize(colon);
    }
    device.address = first;
    std::vector<std::string> arguments{"/I" + first};
    for (std::string word; words >> word;) {
        if (word[0] == '#')
            break;  // the rest of the line is a comment
        if (word[0] != '/') {
            error = "'" + word + "' is not a switch (switches start with \"/\", e.g. /Rpublic)";
            return false;
        }
        if (!CheckVersionSwitch(word, error))
            return false;
        arguments.push_back(word);
    }
    if (!ApplyToDevice(arguments, configDir, device, error))
        return false;
    if (port)  // the address's own port wins over the SNMPv3-only switch and the parameter file
        device.connection.device.port = port;
    return true;
}

bool ReadDeviceList(const std::string& path, const std::string& configDir, std::vector<FleetDevice>& devices,
                    std::string& error)
{
    std::ifstream file(path);
    if (!file) {
        error = "cannot read the device list " + path;
        return false;
    }
    int number = 0;
    const size_t before = devices.size();
    std::map<std::string, int> lines;  // the line that named each device
    for (std::string line; std::getline(file, line);) {
        ++number;
        const auto start = line.find_first_not_of(" \t\r");
        if (start == std::string::npos || line[start] == '#')
            continue;
        FleetDevice device;
        if (!ParseDeviceLine(line.substr(start), configDir, device, error)) {
            error = path + ", line " + std::to_string(number) + ": " + error;
            return false;
        }
        // Two runs against one device at once break both: its transfers share one name and
        // it takes one command at a time.
        const auto [named, first] = lines.emplace(DeviceKey(device), number);
        if (!first) {
            error = path + ": lines " + std::to_string(named->second) + " and " + std::to_string(number) +
                    " both name the device " + device.label();
            return false;
        }
        devices.push_back(device);
    }
    if (devices.size() == before) {
        error = "the device list " + path + " names no device";
        return false;
    }
    return true;
}

bool ReadConfigFolder(const std::string& configDir, std::vector<FleetDevice>& devices, std::string& error)
{
    namespace fs = std::filesystem;
    std::error_code failure;
    std::vector<std::string> addresses;
    for (const fs::directory_entry& entry : fs::directory_iterator(configDir, failure))
        if (entry.is_regular_file() && entry.path().extension() == ".cfg")
            addresses.push_back(entry.path().stem().string());
    if (failure) {
        error = "cannot read the configuration folder " + configDir + ": " + failure.message();
        return false;
    }
    std::sort(addresses.begin(), addresses.end());
    if (addresses.empty()) {
        error = "the configuration folder " + configDir + " holds no parameter file (ADDRESS.cfg)";
        return false;
    }
    // The module names a parameter file by the folder text and the address with no separator.
    const std::string folder = configDir.empty() || configDir.back() == '/' ? configDir : configDir + "/";
    for (const std::string& address : addresses) {
        FleetDevice device;
        device.address = address;
        std::string lastVersionKey;
        SetDefaultSnmpSettings();
        QvSNMPDevice.address = address;
        try {
            ApplyParameterFile(ParameterFilePath(folder, address), lastVersionKey);
        } catch (const std::exception& bad) {
            SetDefaultSnmpSettings();
            error = ParameterFilePath(folder, address) + ": " + bad.what();
            return false;
        }
        device.connection = SnmpConnection::current();
        SetDefaultSnmpSettings();
        devices.push_back(device);
    }
    return true;
}
