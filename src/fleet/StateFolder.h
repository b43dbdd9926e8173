#pragma once

#include <string>

// The folder of this program's own state (the SNMP library's SNMPv3 boots counter): the
// user's data folder (~/.local/share/vta-fleet), else, where that cannot be written (a
// service account without a home), the user's runtime folder ($XDG_RUNTIME_DIR/vta-fleet).
// False, with every path tried and why, when neither takes a file.
bool ChooseStateFolder(std::string& folder, std::string& error);
