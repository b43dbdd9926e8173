#include "snmp/ValueText.h"

#include "platform/DottedAddress.h"

#include "snmp/DateTimeNumber.h"
#include "snmp/ErrorCatalogue.h"
#include "snmp/QvDateTime.h"
#include "snmp/VariableDescriptor.h"

#include <charconv>
#include <cinttypes>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <regex>

namespace ValueText {

namespace {

constexpr uint32_t kTicksPerDay = 8640000;

bool isNumeric(const SnmpVarBind& vb)
{
    switch (vb.type) {
    case SnmpType::Integer:
    case SnmpType::Counter32:
    case SnmpType::Gauge32:
    case SnmpType::TimeTicks:
    case SnmpType::Counter64:
        return true;
    default:
        return false;
    }
}

bool hasBytes(const SnmpVarBind& vb)
{
    return vb.type == SnmpType::OctetString || vb.type == SnmpType::Opaque || vb.type == SnmpType::IpAddress;
}

uint64_t unsignedOf(const SnmpVarBind& vb)
{
    return vb.type == SnmpType::Counter64 ? vb.counter64 : static_cast<uint64_t>(vb.integer);
}

bool isHexSyntax(int32_t syntax)
{
    return syntax == kSyntaxBitString || syntax == kSyntaxOctetString || syntax == kSyntaxOpaque
        || syntax == kSyntaxMacAddress;
}

bool isKnownSyntax(int32_t syntax)
{
    return (syntax >= kSyntaxBoolean && syntax <= kSyntaxObjectId)
        || (syntax >= kSyntaxIpAddress && syntax <= kSyntaxDisplayString);
}

// What a received value of another type than the syntax expects, or no value, shows as.
std::string absent(int32_t syntax) { return syntax == kSyntaxDisplayString || isHexSyntax(syntax) ? "" : kNull; }

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

[[noreturn]] void badValue() { RaiseQvSnmp(-518); }

} // namespace

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 0x0F];
    }
    return text;
}

std::string BytesFromHex(const std::string& text)
{
    std::string digits;
    for (char c : text)
        if (c != ' ')
            digits += c;
    std::string bytes;
    size_t i = 0;
    if (digits.size() % 2) {
        bytes += static_cast<char>(hexDigit(digits[0]));
        i = 1;
    }
    for (; i < digits.size(); i += 2)
        bytes += static_cast<char>(hexDigit(digits[i]) * 16 + hexDigit(digits[i + 1]));
    return bytes;
}

std::string TimeTicks(uint32_t t)
{
    const unsigned long days = t / kTicksPerDay;
    const unsigned long rest = t % kTicksPerDay;
    const unsigned long hours = rest / 360000, minutes = rest / 6000 % 60, seconds = rest / 100 % 60,
                        hundredths = rest % 100;
    char text[64];
    if (days == 0)
        std::snprintf(text, sizeof text, "%lu:%02lu:%02lu.%02lu", hours, minutes, seconds, hundredths);
    else if (days == 1)
        std::snprintf(text, sizeof text, "1 day %lu:%02lu:%02lu.%02lu", hours, minutes, seconds, hundredths);
    else
        std::snprintf(text, sizeof text, "%lu days, %lu:%02lu:%02lu.%02lu", days, hours, minutes, seconds,
                      hundredths);
    return text;
}

std::optional<uint32_t> ParseTimeTicks(const std::string& text)
{
    static const std::regex plain(R"(\s*(\d{1,10})\s*)");
    static const std::regex printed(R"(\s*(?:(\d+)\s+days?,?\s+)?(\d+):(\d{1,2}):(\d{1,2})(?:\.(\d{1,2}))?\s*)");
    std::smatch m;
    uint64_t total = 0;
    if (std::regex_match(text, m, plain)) {
        total = std::stoull(m[1].str());
    } else if (std::regex_match(text, m, printed)) {
        // The lengths first: a count of more digits than any number holds is no time.
        if (m[2].length() > 10 || m[1].length() > 5)
            return std::nullopt;
        const uint64_t days = m[1].matched ? std::stoull(m[1].str()) : 0;
        const uint64_t minutes = std::stoull(m[3].str()), seconds = std::stoull(m[4].str());
        if (minutes > 59 || seconds > 59)
            return std::nullopt;
        std::string hundredths = m[5].matched ? m[5].str() : "0";
        if (hundredths.size() == 1)
            hundredths += '0';  // ".5" is half a second
        total = days * kTicksPerDay + std::stoull(m[2].str()) * 360000 + minutes * 6000 + seconds * 100
            + std::stoull(hundredths);
    } else {
        return std::nullopt;
    }
    if (total > 0xFFFFFFFFULL)
        return std::nullopt;
    return static_cast<uint32_t>(total);
}

std::optional<std::string> ParseIpAddress(const std::string& text)
{
    const auto octets = DottedAddressOctets(text);
    if (!octets)
        return std::nullopt;
    return std::string(octets->begin(), octets->end());
}

std::string IpAddressText(const std::string& o)
{
    std::string text;
    for (size_t i = 0; i < 4; ++i) {
        if (i)
            text += '.';
        text += std::to_string(i < o.size() ? static_cast<unsigned char>(o[i]) : 0);
    }
    return text;
}

std::string Real(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    // "1e+20" -> "1E20", "1e-05" -> "1E-5": a "+" would be read as an addition.
    if (const size_t e = text.find('e'); e != std::string::npos) {
        std::string mantissa = text.substr(0, e);
        std::string exponent = text.substr(e + 1);
        bool negative = false;
        if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
            negative = exponent[0] == '-';
            exponent.erase(0, 1);
        }
        exponent.erase(0, std::min(exponent.find_first_not_of('0'), exponent.size() - 1));
        text = mantissa + "E" + (negative ? "-" : "") + exponent;
    }
    return text;
}

double ReadReal(const std::string& text)
{
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    return strtod_l(text.c_str(), nullptr, cLocale);
}

std::string DoubleOctets(double value)
{
    std::string octets(sizeof value, '\0');
    std::memcpy(octets.data(), &value, sizeof value);
    return octets;
}

double DoubleFromOctets(const std::string& octets)
{
    char raw[sizeof(double)] = {};
    std::memcpy(raw, octets.data(), std::min(octets.size(), sizeof raw));
    double value = 0;
    std::memcpy(&value, raw, sizeof value);
    return value;
}

long long ReadInteger(const std::string& text) { return std::strtoll(text.c_str(), nullptr, 10); }

unsigned long long ReadUnsigned(const std::string& text) { return std::strtoull(text.c_str(), nullptr, 10); }

std::string FromVarBind(int32_t syntax, const SnmpVarBind& vb)
{
    if (!isKnownSyntax(syntax))
        RaiseQvSnmp(-511);
    // No value (NULL, or an exception in its place), or an empty string, prints as nothing.
    if (vb.type == SnmpType::Null || vb.isException() || (hasBytes(vb) && vb.bytes.empty()))
        return absent(syntax);

    switch (syntax) {
    case kSyntaxBoolean:
        return isNumeric(vb) ? (vb.integer != 0 || vb.counter64 != 0 ? "true" : "false") : kNull;
    case kSyntaxInteger:
        if (vb.type == SnmpType::Integer)
            return std::to_string(static_cast<int32_t>(vb.integer));
        return isNumeric(vb) ? std::to_string(unsignedOf(vb)) : kNull;
    case kSyntaxBitString:
    case kSyntaxOctetString:
    case kSyntaxOpaque:
    case kSyntaxMacAddress:
        return hasBytes(vb) ? Hex(vb.bytes) : "";
    case kSyntaxNull:
        return kNull;
    case kSyntaxObjectId:
        return vb.type == SnmpType::ObjectId && !vb.oidValue.empty() ? OidToText(vb.oidValue) : kNull;
    case kSyntaxIpAddress:
    case kSyntaxNsapAddress:
        return hasBytes(vb) && vb.bytes.size() == 4 ? IpAddressText(vb.bytes) : kNull;
    case kSyntaxCounter:
    case kSyntaxGauge:
    case kSyntaxUInteger:
        return isNumeric(vb) ? std::to_string(static_cast<uint32_t>(unsignedOf(vb))) : kNull;
    case kSyntaxTimeTicks:
        return isNumeric(vb) ? TimeTicks(static_cast<uint32_t>(unsignedOf(vb))) : kNull;
    case kSyntaxCounter64:
        return isNumeric(vb) ? std::to_string(unsignedOf(vb)) : kNull;
    case kSyntaxDouble:
        return hasBytes(vb) ? Real(DoubleFromOctets(vb.bytes)) : kNull;
    case kSyntaxDateTime:
        return hasBytes(vb) ? QvDateTime::FromOctets(vb.bytes).ToText() : kNull;
    case kSyntaxBcDateTime:
        return hasBytes(vb) ? DateTimeNumber::Format(DoubleFromOctets(vb.bytes)) : kNull;
    case kSyntaxDisplayString:
        if (hasBytes(vb))
            return std::string(vb.bytes.c_str());  // up to the first zero octet
        return isNumeric(vb) ? std::to_string(vb.integer) : "";
    default:
        RaiseQvSnmp(-511);
    }
}

SnmpVarBind ToVarBind(int32_t syntax, const std::string& text)
{
    if (!isKnownSyntax(syntax))
        RaiseQvSnmp(-511);
    SnmpVarBind vb;
    if (text == kNull) {
        vb.type = SnmpType::Null;
        return vb;
    }
    switch (syntax) {
    case kSyntaxBoolean:
        vb.type = SnmpType::Integer;
        vb.integer = text == "true" ? 1 : 0;
        break;
    case kSyntaxInteger:
        vb.type = SnmpType::Integer;
        vb.integer = static_cast<int32_t>(ReadInteger(text));
        break;
    case kSyntaxBitString:
    case kSyntaxOctetString:
    case kSyntaxMacAddress:
        vb.type = SnmpType::OctetString;
        vb.bytes = BytesFromHex(text);
        break;
    case kSyntaxOpaque:
        vb.type = SnmpType::Opaque;
        vb.bytes = BytesFromHex(text);
        break;
    case kSyntaxNull:
        vb.type = SnmpType::Null;
        break;
    case kSyntaxObjectId:
        vb.type = SnmpType::ObjectId;
        if (!ParseOid(text, vb.oidValue) || vb.oidValue.size() < 2)
            badValue();
        break;
    case kSyntaxIpAddress:
    case kSyntaxNsapAddress: {
        const auto octets = ParseIpAddress(text);
        if (!octets)
            badValue();
        vb.type = SnmpType::IpAddress;
        vb.bytes = *octets;
        break;
    }
    case kSyntaxCounter:
    case kSyntaxGauge:
    case kSyntaxUInteger:
        vb.type = SnmpType::Gauge32;
        vb.integer = static_cast<uint32_t>(ReadUnsigned(text));
        break;
    case kSyntaxTimeTicks: {
        const auto ticks = ParseTimeTicks(text);
        if (!ticks)
            badValue();
        vb.type = SnmpType::TimeTicks;
        vb.integer = *ticks;
        break;
    }
    case kSyntaxCounter64:
        vb.type = SnmpType::Counter64;
        vb.counter64 = ReadUnsigned(text);
        break;
    case kSyntaxDouble:
        vb.type = SnmpType::OctetString;
        vb.bytes = DoubleOctets(ReadReal(text));
        break;
    case kSyntaxDateTime:
        vb.type = SnmpType::OctetString;
        vb.bytes = QvDateTime::FromText(text).ToOctets();
        break;
    case kSyntaxBcDateTime: {
        const auto number = DateTimeNumber::Parse(text);
        if (!number)
            badValue();
        vb.type = SnmpType::OctetString;
        vb.bytes = DoubleOctets(*number);
        break;
    }
    case kSyntaxDisplayString:
        vb.type = SnmpType::OctetString;
        vb.bytes = text;
        break;
    default:
        RaiseQvSnmp(-511);
    }
    return vb;
}

} // namespace ValueText
