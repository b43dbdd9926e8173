#pragma once

#include <string>

// The folder of the module's own files for this user: $XDG_CONFIG_HOME/vta-module, or
// ~/.config/vta-module when XDG_CONFIG_HOME is not set ("./vta-module" without a home).
// Not created here.
std::string ModuleConfigFolder();
