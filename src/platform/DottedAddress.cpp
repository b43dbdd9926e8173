#include "platform/DottedAddress.h"

std::optional<uint32_t> ParseDottedAddress(std::string_view text)
{
    uint32_t address = 0;
    size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (at >= text.size() || text[at] != '.')
                return std::nullopt;
            ++at;
        }
        unsigned value = 0;
        size_t digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 4) {
            value = value * 10 + static_cast<unsigned>(text[at] - '0');
            ++at;
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255)
            return std::nullopt;
        address = address << 8 | value;
    }
    if (at != text.size())
        return std::nullopt;
    return address;
}

std::optional<std::array<uint8_t, 4>> DottedAddressOctets(std::string_view text)
{
    const auto address = ParseDottedAddress(text);
    if (!address)
        return std::nullopt;
    return std::array<uint8_t, 4>{static_cast<uint8_t>(*address >> 24), static_cast<uint8_t>(*address >> 16),
                                  static_cast<uint8_t>(*address >> 8), static_cast<uint8_t>(*address)};
}

bool SameDottedAddress(std::string_view a, std::string_view b)
{
    const auto left = ParseDottedAddress(a);
    const auto right = ParseDottedAddress(b);
    if (left || right)
        return left == right;
    return a == b;
}
