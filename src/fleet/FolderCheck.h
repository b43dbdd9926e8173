#pragma once

#include <string>

// Whether the folder (made when missing) takes a file now: one is created, given a block and
// removed. A read-only or full file system and a folder this user may not write fail, with
// the system's words in why ("Permission denied").
bool FolderTakesFiles(const std::string& folder, std::string& why);
