#include "host/Startup.h"

#include "platform/Conversion.h"
#include "snmp/ErrorCatalogue.h"
#include "platform/HostRegistry.h"
#include "host/HostNames.h"
#include "platform/QvIni.h"
#include "snmp/SnmpSettings.h"

#include <cstdint>
#include <filesystem>

namespace {

// Numbers in the parameter file: an empty or missing key leaves the setting as it was
// (host files commonly omit the SNMPv3 keys of SNMPv1 devices); any other text must
// convert, or start-up ends with the conversion message.
bool readNumber(const QvIni& file, const char* key, int& value)
{
    const std::string text = file.ReadText(kParameterSection, key, "");
    if (text.empty())
        return false;
    value = StrToInt(text);
    return true;
}

uint16_t toPort(const std::string& text)
{
    const int value = StrToInt(text);
    if (value < 0 || value > 65535)
        throw ConversionError(text);
    return static_cast<uint16_t>(value);
}

// 0 SNMPv1, 1 SNMPv2c, 3 SNMPv3; anything else would leave the session without a version
// the library knows (an SNMPv3 session without a user, for "2").
uint8_t toVersion(const std::string& text)
{
    const int value = StrToInt(text);
    if (value != 0 && value != 1 && value != 3)
        throw ConversionError(text);
    return static_cast<uint8_t>(value);
}

enum class Setting {
    ReadCommunity, WriteCommunity, Version, Port, ContextName, ContextEngineId, SecurityModel,
    SecurityLevel, SecurityName, AuthPassword, PrivPassword, AuthProtocol, PrivProtocol,
};

struct Switch {
    const char* text;
    Setting setting;
    bool v3Only;
};

// In the order they are looked for: only the first one found in an argument is applied.
const Switch kSwitches[] = {
    {"/R", Setting::ReadCommunity, false},
    {"/W", Setting::WriteCommunity, false},
    {"/v", Setting::Version, false},
    {"/t", Setting::Port, true},
    {"/c", Setting::ContextName, true},
    {"/d", Setting::ContextEngineId, true},
    {"/m", Setting::SecurityModel, true},
    {"/l", Setting::SecurityLevel, true},
    {"/n", Setting::SecurityName, true},
    {"/A", Setting::AuthPassword, true},
    {"/P", Setting::PrivPassword, true},
    {"/a", Setting::AuthProtocol, true},
    {"/p", Setting::PrivProtocol, true},
};

void applySwitch(Setting setting, const std::string& value)
{
    QvSNMPSecuritySettings& s = QvSNMPSecurity;
    switch (setting) {
    case Setting::ReadCommunity: s.readCommunity = value; break;
    case Setting::WriteCommunity: s.writeCommunity = value; break;
    case Setting::Version: s.version = toVersion(value); break;
    case Setting::Port: QvSNMPDevice.port = toPort(value); break;
    case Setting::ContextName: QvSNMPScope.contextName = value; break;
    case Setting::ContextEngineId: QvSNMPScope.contextEngineId = value; break;
    case Setting::SecurityModel: s.securityModel = StrToInt(value); break;
    // The host counts levels and protocols from 0; the library from 1.
    case Setting::SecurityLevel: s.securityLevel = StrToInt(value) + 1; break;
    case Setting::SecurityName: s.securityName = value; break;
    case Setting::AuthPassword: s.authPassword = value; break;
    case Setting::PrivPassword: s.privPassword = value; break;
    case Setting::AuthProtocol: s.authProtocol = StrToInt(value) + 1; break;
    case Setting::PrivProtocol: s.privProtocol = StrToInt(value) + 1; break;
    }
}

} // namespace

void LoadMessageFiles(const std::string& folder, const std::vector<std::string>& fileNames)
{
    for (const std::string& name : fileNames) {
        const auto table = MessageTableForFile(std::filesystem::path(name).filename().string());
        if (table)
            LoadMessageFile(*table, folder + name);
    }
}

const std::vector<std::string>& ExecutableMessageFiles()
{
    static const std::vector<std::string> files = {
        "snmpclass.err", "snmp.err", "snmp.msg", "qvsnmp.err", "snmpv3.err", "snmpusm.err", "common.err"};
    return files;
}

const std::vector<std::string>& ModuleMessageFiles()
{
    static const std::vector<std::string> files = {
        "errmsg/common.err", "errmsg/snmp.err",      "errmsg/snmpv3.err", "errmsg/snmpusm.err",
        "errmsg/snmpclass.err", "errmsg/qvsnmp.err", "errmsg/snmp.msg"};
    return files;
}

std::string ModuleDirFromHelpPath(const std::string& helpPath)
{
    return helpPath.size() > 12 ? helpPath.substr(0, helpPath.size() - 12) : std::string();
}

std::string ReadHelpPath(HostRegistry& registry)
{
    registry.createKey(kHelpPathKey);
    return registry.readValue(kHelpPathKey, EnterpriseOidText).value_or("");
}

std::string DetermineConfigDir(const HostRegistry& registry)
{
    std::string configDir;
    if (registry.keyExists(kExePathKey))
        configDir = registry.readValue(kExePathKey, kPathValueName).value_or("") + "../Conf/MBF/";
    if (registry.keyExists(kMibFileKey))
        configDir = registry.readValue(kMibFileKey, kPathValueName).value_or("");
    return configDir;
}

std::string ParameterFilePath(const std::string& configDir, const std::string& deviceAddress)
{
    return configDir + deviceAddress + ".cfg";
}

void ApplyParameterFile(const std::string& path, std::string& lastVersionKey)
{
    const QvIni file(path);
    auto text = [&](const char* key) { return file.ReadText(kParameterSection, key, ""); };
    QvSNMPSecuritySettings& s = QvSNMPSecurity;
    int number = 0;

    if (readNumber(file, "AgentPort", number))
        QvSNMPDevice.port = toPort(text("AgentPort"));
    lastVersionKey = text("Version");
    if (!lastVersionKey.empty())
        s.version = toVersion(lastVersionKey);
    if (const std::string name = text("ContextName"); !name.empty())
        QvSNMPScope.contextName = name;
    QvSNMPScope.contextEngineId = text("ContextEngineID");
    if (readNumber(file, "SecurityModel", number))
        s.securityModel = number;
    // "0" leaves the level and the protocols as they were: the library's 1 means the same.
    if (readNumber(file, "SecurityLevel", number) && number != 0)
        s.securityLevel = number + 1;
    s.securityName = text("SecurityName");
    if (readNumber(file, "AuthProtocol", number) && number != 0)
        s.authProtocol = number + 1;
    if (readNumber(file, "PrivProtocol", number) && number != 0)
        s.privProtocol = number + 1;
    if (const std::string phrase = text("AuthPassword"); !phrase.empty())
        s.authPassword = phrase;
    if (const std::string phrase = text("PrivPassword"); !phrase.empty())
        s.privPassword = phrase;
    // Not one of the host's keys: 0 walks this device's tables with get-next only.
    if (readNumber(file, "GetBulk", number))
        QvSNMPDevice.getBulk = number != 0;
}

void ApplyArguments(const std::vector<std::string>& arguments, const std::string& configDir,
                    std::string& deviceAddress)
{
    std::string lastVersionKey;
    for (const std::string& argument : arguments) {
        if (const auto at = argument.find("/I"); at != std::string::npos) {
            deviceAddress = argument.substr(at + 2);
            QvSNMPDevice.address = deviceAddress;
            continue;
        }
        const std::string parameterFile = ParameterFilePath(configDir, deviceAddress);
        std::error_code ignored;
        if (std::filesystem::is_regular_file(parameterFile, ignored))
            ApplyParameterFile(parameterFile, lastVersionKey);

        const bool v3InEffect = QvSNMPSecurity.version == 3 || lastVersionKey == "3";
        for (const Switch& candidate : kSwitches) {
            if (candidate.v3Only && !v3InEffect)
                continue;
            const auto at = argument.find(candidate.text);
            if (at == std::string::npos)
                continue;
            applySwitch(candidate.setting, argument.substr(at + 2));
            break;
        }
    }
}

std::string ModuleCaption(const std::string& deviceAddress)
{
    return std::string(ModelName) + " : " + deviceAddress;
}
