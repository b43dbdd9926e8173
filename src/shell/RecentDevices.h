#pragma once

#include "shell/DeviceConnection.h"

#include <cstddef>
#include <string>
#include <vector>

// The devices the connect dialog opened, most recent first, in recent-devices.json of the
// module's configuration folder. Communities and pass phrases are kept only when the user
// asks; the file is then the only place beside the parameter file that holds them, and only
// its owner may read it.
struct RecentDevice {
    DeviceConnection connection;
    bool secretsKept = false;  // communities and pass phrases are in the file
};

class RecentDevices {
public:
    static constexpr size_t kLimit = 10;
    static std::string defaultPath();

    explicit RecentDevices(std::string path = defaultPath());

    const std::string& path() const { return m_path; }
    // Empty when the file is missing or cannot be read; an entry that cannot be used is left out.
    std::vector<RecentDevice> load() const;
    // Puts the device first, in place of an earlier entry for the same address, and keeps the
    // newest kLimit. false, with the reason in error, when the file cannot be written.
    bool remember(const DeviceConnection& connection, bool keepSecrets, std::string& error) const;

private:
    std::string m_path;
};
