#include "platform/Conversion.h"

#include <cctype>
#include <cstdint>
#include <optional>

namespace {

std::optional<int> parseInteger(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return std::nullopt;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int digit;
        if (std::isdigit(c))
            digit = c - '0';
        else if (base == 16 && std::isxdigit(c))
            digit = std::tolower(c) - 'a' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > (int64_t(1) << 32))
            return std::nullopt;
    }
    if (base == 16) {
        // Hexadecimal spells the bit pattern: $FFFFFFFF is -1.
        if (value > 0xFFFFFFFFLL)
            return std::nullopt;
        int32_t bits = static_cast<int32_t>(static_cast<uint32_t>(value));
        return negative ? -bits : bits;
    }
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

ConversionError::ConversionError(const std::string& text)
    : std::runtime_error("'" + text + "' is not a valid integer value")
{
}

int StrToInt(const std::string& text)
{
    if (auto value = parseInteger(text))
        return *value;
    throw ConversionError(text);
}

int StrToIntDef(const std::string& text, int fallback)
{
    return parseInteger(text).value_or(fallback);
}

int DecimalStrToInt(const std::string& text)
{
    if (text.empty() || text.size() > 10)
        throw ConversionError(text);
    int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            throw ConversionError(text);
        value = value * 10 + (c - '0');
    }
    if (value > INT32_MAX)
        throw ConversionError(text);
    return static_cast<int>(value);
}
