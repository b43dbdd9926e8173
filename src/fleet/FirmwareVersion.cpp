#include "fleet/FirmwareVersion.h"

#include <algorithm>
#include <regex>

std::optional<FirmwareVersion> ParseVersion(const std::string& text)
{
    static const std::regex version(R"((\d+)\.(\d+))");
    std::smatch match;
    if (!std::regex_search(text, match, version))
        return std::nullopt;
    try {
        return FirmwareVersion{std::stoi(match[1]), std::stoi(match[2])};
    } catch (const std::exception&) {  // more digits than a number holds
        return std::nullopt;
    }
}

std::optional<FirmwareVersion> ImageVersion(const std::string& head, const std::string& fileName)
{
    const std::string firstLine = head.substr(0, std::min(head.find('\n'), size_t{128}));
    if (auto version = ParseVersion(firstLine))
        return version;
    return ParseVersion(fileName);
}
