#pragma once

#include <cstdint>
#include <string>

// The command line's settings that the sub-commands share.
struct FleetOptions {
    int parallel = 32;            // devices in exchange at once
    uint32_t retries = 3;         // further tries of an SNMP request after a time-out
    int tftpPort = 69;            // the port the devices send their TFTP requests to
    int maxParallel = 4;          // upgrade: devices fetching and restarting at once
    int restartTimeoutSeconds = 180;  // upgrade: how long a restarting device may stay silent
    bool force = false;               // upgrade: also devices that already run the image's version
    bool json = false;
};
