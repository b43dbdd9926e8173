#pragma once

#include <string>
#include <vector>

class HostRegistry;

// The start-up steps that decide the module's connection settings, free of widgets so each
// rule can be tested on its own. The main window runs them in order while it is built.

// Loads each named message file of folder into the table of the same name. A file name may
// carry a sub-folder ("errmsg/snmp.err"); the table is named by the last part.
void LoadMessageFiles(const std::string& folder, const std::vector<std::string>& fileNames);

// Message files beside the executable (folder "errMSg/"), in their load order.
const std::vector<std::string>& ExecutableMessageFiles();
// Message files under the module folder, in their load order.
const std::vector<std::string>& ModuleMessageFiles();

// The module folder: the help path without its last 12 characters ("" when shorter).
std::string ModuleDirFromHelpPath(const std::string& helpPath);

// Opens (creating when missing) the help path key and returns its value ("" when absent).
std::string ReadHelpPath(HostRegistry& registry);

// The folder of the per-device parameter files: ExePath + "../Conf/MBF/", then replaced by
// the MibFile key's path when that key exists.
std::string DetermineConfigDir(const HostRegistry& registry);

// The per-device parameter file: configDir + address + ".cfg", no separator inserted.
std::string ParameterFilePath(const std::string& configDir, const std::string& deviceAddress);

// Applies the command-line arguments, in order, to the three global settings records and
// to deviceAddress; the parameter file of the current address is read again before every
// argument but the address switch. Throws ConversionError for a number that does not
// convert.
void ApplyArguments(const std::vector<std::string>& arguments, const std::string& configDir,
                    std::string& deviceAddress);

// Reads every key of a parameter file into the global records. lastVersionKey receives the
// Version key's text, which keeps the SNMPv3 switches enabled when it is "3".
void ApplyParameterFile(const std::string& path, std::string& lastVersionKey);

// The window caption and the name of the per-device lock: ModelName + " : " + address.
std::string ModuleCaption(const std::string& deviceAddress);
