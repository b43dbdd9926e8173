#pragma once

#include <string>

// Files that may hold secrets (pass phrases, communities): only their owner may read them.

// Writes text to path with mode 0600, replacing the file in one step, so a reader finds the
// old file or the new one and never a part; folders missing on the way are made with mode
// 0700. false, with the reason and the path in error, when it cannot; the old file then
// stays as it was and no temporary file is left.
bool WritePrivateFile(const std::string& path, const std::string& text, std::string& error);


// Makes the folders of the path that are missing, with mode 0700 (only their owner looks
// inside). false, with the reason and the folder in error, when one cannot be made.
bool MakePrivateFolders(const std::string& folder, std::string& error);
