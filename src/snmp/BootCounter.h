#pragma once

#include <string>

// The file that counts this module's SNMPv3 engine starts: one line per engine ID,
// "<engine ID> <boots>". Other engines' lines are kept when a count is saved.
namespace BootCounter {

enum Status { kFound = 0, kEngineNotInFile = -1, kCannotOpen = -2, kBadFile = -3, kCannotSave = -4 };

// Reads the count of engineId; 0 with kEngineNotInFile / kCannotOpen.
int load(const std::string& path, const std::string& engineId, unsigned& boots);
// Stores the count of engineId; 0 on success, non-zero when the file cannot be written.
int save(const std::string& path, const std::string& engineId, unsigned boots);

// Reads the count of engineId, adds one and stores it (boots receives the new count),
// with the three steps under a lock held on the file's folder, so that modules started
// together each get a count of their own. 0 on success; kBadFile when the file cannot be
// read as a count file; kCannotSave when the lock cannot be had or the count not stored.
int advance(const std::string& path, const std::string& engineId, unsigned& boots);

} // namespace BootCounter
