#pragma once

#include <optional>
#include <string>

// A firmware version "major.minor", compared as two numbers: 2.05 is 2.5, older than 2.10.
struct FirmwareVersion {
    int major = 0;
    int minor = 0;

    auto operator<=>(const FirmwareVersion&) const = default;
};

// The first "major.minor" in the text (a device's "2.10"); none when there is none.
std::optional<FirmwareVersion> ParseVersion(const std::string& text);

// The version an image carries, as the device reads it: the first "major.minor" in its first
// line (e.g. "VTA-3100QX FW 2.10"), else the first in its file name ("vta_2.10.tfp"). head
// is the image's first bytes.
std::optional<FirmwareVersion> ImageVersion(const std::string& head, const std::string& fileName);
