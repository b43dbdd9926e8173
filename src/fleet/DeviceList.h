#pragma once

#include "snmp/SnmpSettings.h"

#include <string>
#include <vector>

// One access point of a run: where it is and how to speak SNMP to it.
struct FleetDevice {
    std::string address;  // as listed: host name or dotted IPv4 address
    SnmpConnection connection;

    // The device in reports and folder names: the address, with ":port" when not 161.
    std::string label() const;
};

// One line of a device list: "ADDRESS[:PORT]" followed by the module's own command-line
// switches, separated by blanks, e.g. "10.0.0.7:1161 /Rsite-ro /Wsite-rw /v1"; a word
// starting with "#" begins a comment. The switches are applied exactly as the module applies
// its command line (the host's parameter file of the address, in configDir, is read as
// there). False with a message for bad input (an IPv6 address, a version other than 0, 1 or
// 3, a number that does not convert, naming the switch).
bool ParseDeviceLine(const std::string& line, const std::string& configDir, FleetDevice& device,
                     std::string& error);

// A device list file: one device per line; blank lines and lines starting with "#" are
// skipped. The message names the line; a device named on two lines (however its address is
// written) names both.
bool ReadDeviceList(const std::string& path, const std::string& configDir, std::vector<FleetDevice>& devices,
                    std::string& error);

// Every parameter file ("ADDRESS.cfg") in the host's configuration folder as a device, with
// the settings the module would take from it.
bool ReadConfigFolder(const std::string& configDir, std::vector<FleetDevice>& devices, std::string& error);
