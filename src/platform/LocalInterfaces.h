#pragma once

#include <string>
#include <vector>

// One IPv4 interface of this PC, as the firmware and configuration-file pages need it to
// find the address that lies in the device's subnet.
struct LocalInterface {
    std::string address;  // dotted IPv4
    std::string netmask;  // dotted IPv4
    bool up = false;
    bool broadcast = false;
    bool loopback = false;
    bool pointToPoint = false;
    bool multicast = false;
};

constexpr int kMaxLocalInterfaces = 10;

// Clears the list and fills it with at most 10 IPv4 interfaces; returns how many
// (0 on any failure).
int LocalInterfaces(std::vector<LocalInterface>& list);

struct ifaddrs;
// The same from an interface list already read (the system's, or a test's own).
int LocalInterfacesFrom(const ifaddrs* all, std::vector<LocalInterface>& list);
