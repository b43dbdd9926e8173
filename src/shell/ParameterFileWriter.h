#pragma once

#include <string>
#include <utility>
#include <vector>

class HostRegistry;

// Writing a device's parameter file as the host would, for a module started without a host.

// The folder the module reads parameter files from (the host's configuration folder). When
// the registry names none, the folder "devices" in the module's own configuration folder
// becomes it: it is entered as the MibFile key's path, so later starts find it too. The
// folders on the way are made (mode 0700) where a new account has none yet. false, with the
// reason in error, when a folder cannot be made or the registry cannot take the key.
bool ParameterFileFolder(HostRegistry& registry, std::string& folder, std::string& error);

// Sets the keys in the file's "Program Information" section and keeps every other line (a
// host's file may hold more). The file is replaced in one step and only its owner may read
// it, since it may hold pass phrases. false, with the reason in error, when the file cannot
// be read or written, or is no text.
bool WriteParameterFile(const std::string& path, const std::vector<std::pair<std::string, std::string>>& keys,
                        std::string& error);
