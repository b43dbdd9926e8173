#include "shell/ParameterFileWriter.h"

#include "platform/ConfigFolder.h"
#include "platform/HostRegistry.h"
#include "platform/IniText.h"
#include "platform/PrivateFile.h"
#include "shell/ModuleConstants.h"
#include "host/Startup.h"

#include <filesystem>
#include <fstream>
#include <iterator>

bool ParameterFileFolder(HostRegistry& registry, std::string& folder, std::string& error)
{
    folder = DetermineConfigDir(registry);
    if (!folder.empty())
        return true;
    const std::string own = ModuleConfigFolder() + "/devices/";
    // A new account has no configuration folder yet: the registry beside it needs one.
    if (!MakeModuleConfigFolder("devices", error))
        return false;
    if (!registry.writeValue(kMibFileKey, kPathValueName, own)) {
        error = "cannot enter the folder of the parameter files into the host registry " + registry.path();
        return false;
    }
    folder = own;
    return true;
}

bool WriteParameterFile(const std::string& path, const std::vector<std::pair<std::string, std::string>>& keys,
                        std::string& error)
{
    std::string text;
    std::error_code status;
    if (std::filesystem::exists(path, status)) {
        std::ifstream file(path, std::ios::binary);
        if (!std::filesystem::is_regular_file(path, status) || !file) {
            error = "cannot read " + path;
            return false;
        }
        text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        if (file.bad() || text.find('\0') != std::string::npos) {
            error = path + " is not a parameter file that can be read";
            return false;
        }
    }
    const auto isSection = [](const std::string& header) { return SameIniName(TrimmedIniText(header), kParameterSection); };
    for (const auto& [name, value] : keys) {
        // The reader takes one pair of surrounding quotes away: a value in quotes gets another pair.
        const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
        text = WithIniValue(text, isSection, kParameterSection, name, quoted ? '"' + value + '"' : value);
    }
    return WritePrivateFile(path, text, error);
}
