#pragma once

#include <string>

// The folder of the module's own files for this user: $XDG_CONFIG_HOME/vta-module, or
// ~/.config/vta-module when XDG_CONFIG_HOME is not set ("./vta-module" without a home).
// Not created here.
std::string ModuleConfigFolder();

// Makes the folder `sub` of the module's folder, and the module's folder and the configuration
// folder above it where they are missing, each with mode 0700, as programs do for a new account
// whose home has no ~/.config yet. Nothing is made under a home that is not there (an account
// whose home is /nonexistent). false, with the reason in error, when a folder cannot be made.
bool MakeModuleConfigFolder(const std::string& sub, std::string& error);
