#pragma once

#include "binding/DeviceVariables.h"

// Texts and names that belong to this model of access point.
inline constexpr const char* ModelName = "VTA-3100QX";
// Name of the host registry value that holds the module's help path.
inline constexpr const char* EnterpriseOidText = VTA_ENTERPRISE_OID;
inline constexpr const char* kDuplicateInstanceMessage = "Another VTA3100QX module is running!";
inline constexpr const char* kNoArgumentsMessage = "This module is only used in the Orvant or HP-Openview.";
// Both radio tabs carry the same band caption; the second tab stays hidden.
inline constexpr const char* kFirstBandTitle = "IEEE 802.11g";
inline constexpr const char* kSecondBandTitle = "IEEE 802.11g";
inline constexpr const char* kRadio1SettingError = "IEEE802.11a Setting Error!";
inline constexpr const char* kRadio2SettingError = "IEEE802.11g Setting Error!";

// Host registry keys and value names.
inline constexpr const char* kHelpPathKey = "\\SOFTWARE\\Corvane\\Modules\\HelpPath";
inline constexpr const char* kExePathKey = "\\SOFTWARE\\Corvane\\Orvant5.1\\ExePath";
inline constexpr const char* kMibFileKey = "\\SOFTWARE\\Corvane\\Orvant5.1\\MibFile";
inline constexpr const char* kPathValueName = "Path";

// Section of the per-device parameter file.
inline constexpr const char* kParameterSection = "Program Information";
