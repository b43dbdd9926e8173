#pragma once

#include "host/HostNames.h"

// Texts and names that belong to this model of access point.
inline constexpr const char* kDuplicateInstanceMessage = "Another VTA3100QX module is running!";
inline constexpr const char* kNoArgumentsMessage = "This module is only used in the Orvant or HP-Openview.";
// Both radio tabs carry the same band caption; the second tab stays hidden.
inline constexpr const char* kFirstBandTitle = "IEEE 802.11g";
inline constexpr const char* kSecondBandTitle = "IEEE 802.11g";
inline constexpr const char* kRadio1SettingError = "IEEE802.11a Setting Error!";
inline constexpr const char* kRadio2SettingError = "IEEE802.11g Setting Error!";

