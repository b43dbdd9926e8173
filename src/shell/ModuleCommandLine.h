#pragma once

#include <string>
#include <vector>

// The module's own options, told apart from the host's switches before the GUI starts, so
// that --help and --version need no display. An option begins with "--" and holds no "/";
// every other argument is the host's and goes to the start-up unchanged. Qt's own options
// keep their one-dash form (-platform, -style).
struct ModuleCommandLine {
    enum class Mode { Host, Connect, Help, Version, Invalid };
    Mode mode = Mode::Host;
    std::string problem;  // Invalid: what is wrong, naming the option
};

ModuleCommandLine ReadModuleCommandLine(const std::vector<std::string>& arguments);

// The text of --help.
const char* ModuleUsage();
