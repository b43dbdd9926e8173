#pragma once

#include "Options.h"

#include <string>
#include <utility>
#include <vector>

// The agent configuration's lines for the devices' SNMPv3 users: each device's users keyed to
// its own engine ID, and one access rule per user name at the lowest level any device asks of
// it (the agent's hook holds each device to its own). A site of a thousand devices has
// thousands of users, and turning a pass phrase into a key takes a megabyte of hashing: each
// distinct pass phrase is turned once, and every device's user gets that key, localized to its
// engine.
// devices: each device's engine ID as the configuration writes it ("0x80...") and its users.
std::string UserLines(const std::vector<std::pair<std::string, const std::vector<UsmUser>*>>& devices);
