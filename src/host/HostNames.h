#pragma once

#include "binding/DeviceVariables.h"

// Names the host application and the module share: the model's name (captions and the
// per-device lock), the registry keys and value names, the parameter file's section.
inline constexpr const char* ModelName = "VTA-3100QX";
// Name of the host registry value that holds the module's help path.
inline constexpr const char* EnterpriseOidText = VTA_ENTERPRISE_OID;

// Host registry keys and value names.
inline constexpr const char* kHelpPathKey = "\\SOFTWARE\\Corvane\\Modules\\HelpPath";
inline constexpr const char* kExePathKey = "\\SOFTWARE\\Corvane\\Orvant5.1\\ExePath";
inline constexpr const char* kMibFileKey = "\\SOFTWARE\\Corvane\\Orvant5.1\\MibFile";
inline constexpr const char* kPathValueName = "Path";

// Section of the per-device parameter file.
inline constexpr const char* kParameterSection = "Program Information";
