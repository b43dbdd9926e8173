#include "platform/ConfigFolder.h"

#include "platform/PrivateFile.h"

#include <cstdlib>
#include <filesystem>

std::string ModuleConfigFolder()
{
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.config";
    else
        base = ".";
    return base + "/vta-module";
}

bool MakeModuleConfigFolder(const std::string& sub, std::string& error)
{
    const std::filesystem::path module(ModuleConfigFolder());
    const std::filesystem::path home = module.parent_path().parent_path();
    std::error_code ignored;
    if (!home.empty() && !std::filesystem::is_directory(home, ignored)) {
        error = "there is no folder " + home.string() + " to keep the module's files in";
        return false;
    }
    return MakePrivateFolders((module / sub).string(), error);
}
