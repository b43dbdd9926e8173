#include "shell/Validators.h"

#include "binding/WindowWaits.h"
#include "platform/Conversion.h"
#include "platform/Dialogs.h"
#include "platform/DottedAddress.h"
#include "platform/EchoProbe.h"
#include "platform/LetGo.h"

#include <QLineEdit>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <optional>

namespace {

// The four numbers of a dotted text; nothing when the text's shape is wrong.
std::optional<std::array<int, 4>> dottedNumbers(const std::string& text)
{
    if (text.empty() || text.front() == '.' || text.find('.') == text.size() - 1)
        return std::nullopt;
    if (std::count(text.begin(), text.end(), '.') != 3)
        return std::nullopt;
    std::array<int, 4> numbers{};
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t dot = text.find('.', start);
        numbers[i] = DecimalStrToInt(text.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        start = dot + 1;
    }
    // What passes here is also what every write reads: an address of four decimal parts.
    if (!ParseDottedAddress(text))
        return std::nullopt;
    return numbers;
}

bool inRange(int value, int low, int high) { return value >= low && value <= high; }

} // namespace

bool IsValidIpAddress(const std::string& text)
{
    const auto n = dottedNumbers(text);
    return n && inRange((*n)[0], 1, 223) && (*n)[0] != 127 && inRange((*n)[1], 0, 255)
        && inRange((*n)[2], 0, 255) && inRange((*n)[3], 1, 254);
}

bool IsValidSubnetMask(const std::string& text)
{
    const auto n = dottedNumbers(text);
    if (!n || !inRange((*n)[0], 1, 255))
        return false;
    for (int i = 1; i < 4; ++i)
        if (!inRange((*n)[i], 0, 255))
            return false;
    if (std::find(n->begin(), n->end(), 1) != n->end())
        return false;
    const uint32_t mask = (uint32_t((*n)[0]) << 24) | (uint32_t((*n)[1]) << 16) | (uint32_t((*n)[2]) << 8)
        | uint32_t((*n)[3]);
    const uint32_t zeros = ~mask;
    const bool contiguous = (zeros & (zeros + 1)) == 0;  // ones, then only zeros
    return contiguous && (mask & 0x40000000u) && !(mask & 1u);
}

bool CheckText(const std::string& text, bool secretMode, QWidget* parent)
{
    if (secretMode) {
        const bool ok = !text.empty()
            && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalnum(c); });
        if (!ok)
            Dialogs::message(parent, "Please input Radius Secret format xxxxxx(x:0-9;A-z)", "Warning",
                             DialogButtons::Ok, DialogIcon::Warning);
        return ok;
    }
    if (text.find('"') != std::string::npos) {
        Dialogs::message(parent, "Quotation Mark (\") is not accepted", "Warning", DialogButtons::Ok,
                         DialogIcon::Warning);
        return false;
    }
    return true;
}

bool HasNonAsciiCharacter(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

uint32_t IPTextToNumber(const std::string& text)
{
    uint32_t accumulator = 0;
    std::string digits;
    for (const char c : text) {
        if (c == '.') {
            accumulator += static_cast<uint32_t>(DecimalStrToInt(digits));
            digits.clear();
            accumulator <<= 8;
        } else {
            digits += c;
        }
    }
    return accumulator + static_cast<uint32_t>(DecimalStrToInt(digits));
}

uint32_t IPTextToNumber(const QLineEdit* edit) { return IPTextToNumber(edit->text().toStdString()); }

bool IsAddressInUse(const std::string& text, QWidget* parent)
{
    // The probe is a wait of the asking window: closing it ends the probe.
    EchoResult probed;
    {
        const WindowWaits::Scope waits(parent);
        probed = ProbeEcho(text);
    }
    if (LetGo(parent))
        return false;
    switch (probed) {
    case EchoResult::Answered:
        return true;
    case EchoResult::Unresolved:
        Dialogs::message(parent, "Unable to resolve ", {}, DialogButtons::Ok, DialogIcon::Information);
        return false;
    case EchoResult::NoSocket:
        // Without an ICMP socket nothing can be learnt; the other checks still guard the address.
    case EchoResult::Silent:
        return false;
    }
    return false;
}
