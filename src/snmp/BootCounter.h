#pragma once

#include <string>

// The file that counts this module's SNMPv3 engine starts: one line per engine ID,
// "<engine ID> <boots>". Other engines' lines are kept when a count is saved.
namespace BootCounter {

enum Status { kFound = 0, kEngineNotInFile = -1, kCannotOpen = -2, kBadFile = -3 };

// Reads the count of engineId; 0 with kEngineNotInFile / kCannotOpen.
int load(const std::string& path, const std::string& engineId, unsigned& boots);
// Stores the count of engineId; 0 on success, non-zero when the file cannot be written.
int save(const std::string& path, const std::string& engineId, unsigned boots);

} // namespace BootCounter
