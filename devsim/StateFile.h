#pragma once

#include "Mib.h"

#include <string>

// The device's state as JSON: {"model", "upTimeTicks", "variables": {OID: {name, type, value}}}.
// Integers are JSON numbers; every other value is the text form of ValueText. Secrets are
// written as stored (not masked), so tests see exactly what was set.
std::string StateJson(const MibStore& store, bool configurationOnly, long long upTimeTicks);
// Whether the configuration file shows a variable: configuration, and not another's alias.
inline bool InConfigurationFile(const Variable& variable)
{
    return variable.info->config && !variable.info->aliasOf;
}

// Applies a state (or configuration) JSON text to the store. Unknown objects that belong to
// a table become new rows; anything else unknown, a wrong type or a bad value is an error
// and leaves the store unchanged.
bool LoadState(MibStore& store, const std::string& json, bool configurationOnly, std::string& error);

// Writes through a temporary file and a rename, so a reader never sees half a file.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& error);
bool ReadWholeFile(const std::string& path, std::string& text, std::string& error);
