#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A simulated device as an SNMPv3 engine of its own, as a real one is: its own engine ID and
// boots counted by its restarts. Managers keep their keys and clocks per engine ID, so devices
// of one process that shared an ID would take each other's users and pass phrases. The agent
// library knows one local engine per process: the devices take turns, each made the library's
// engine before its requests are read and its answers sent. The engine time is the process's
// (the library offers no way to set it): it counts from the simulator's start, not from the
// device's, which a manager's time window accepts the same way.
class DeviceEngine {
public:
    // The ID of the process's device number `index`: the device's enterprise number (32473)
    // in the form of RFC 3411, then octets of this run's own and the index.
    explicit DeviceEngine(uint16_t index);

    // "0x80007ed905..." as the agent's configuration writes an engine ID.
    std::string hex() const;

    // Makes this the library's local engine: its ID and its boots.
    void enter(unsigned boots) const;

private:
    std::vector<unsigned char> m_id;
};
