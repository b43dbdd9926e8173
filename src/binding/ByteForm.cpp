#include "binding/ByteForm.h"

#include "platform/DottedAddress.h"
#include "snmp/DateTimeNumber.h"
#include "snmp/ErrorCatalogue.h"
#include "snmp/QvDateTime.h"
#include "snmp/SnmpTypes.h"
#include "snmp/ValueText.h"
#include "snmp/VariableDescriptor.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace ByteForm {

namespace {

constexpr const char* kNull = "(NULL)";

template <typename T>
std::string bytesOf(T number)
{
    std::string bytes(sizeof number, '\0');
    std::memcpy(bytes.data(), &number, sizeof number);
    return bytes;
}

// The number in the first bytes; missing bytes read as 0.
template <typename T>
T numberOf(const std::string& bytes)
{
    char raw[sizeof(T)] = {};
    std::memcpy(raw, bytes.data(), std::min(bytes.size(), sizeof raw));
    T number{};
    std::memcpy(&number, raw, sizeof number);
    return number;
}

template <typename T>
T clamped(long long value)
{
    return static_cast<T>(std::clamp<long long>(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

template <typename T>
T clampedUnsigned(const std::string& text)
{
    // A leading minus sign would wrap around: it reads as 0.
    const char* p = text.c_str();
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p == '-')
        return 0;
    const unsigned long long value = ValueText::ReadUnsigned(text);
    return static_cast<T>(std::min<unsigned long long>(value, std::numeric_limits<T>::max()));
}

// Whether "(NULL)" is kept as a null value rather than read as a number or text.
bool keepsNull(int32_t syntax)
{
    switch (syntax) {
    case kSyntaxBitString:
    case kSyntaxOctetString:
    case kSyntaxNull:
    case kSyntaxObjectId:
    case kSyntaxIpAddress:
    case kSyntaxOpaque:
    case kSyntaxNsapAddress:
    case kSyntaxMacAddress:
    case kSyntaxDateTime:
    case kSyntaxBcDateTime:
        return true;
    default:
        return false;
    }
}

bool known(int32_t syntax)
{
    return (syntax >= kSyntaxBoolean && syntax <= kSyntaxObjectId)
        || (syntax >= kSyntaxIpAddress && syntax <= kSyntaxDisplayString)
        || (syntax >= kSyntaxBool8 && syntax <= kSyntaxUInt16);
}

[[noreturn]] void badValue() { RaiseQvSnmp(-518); }

// The four bytes of a dotted address, read as every check reads it; a text that is not one
// cannot be written (an empty text leaves the value read from the device as it is).
std::string ipAddressBytes(const std::string& text)
{
    if (text.empty())
        return {};
    const auto octets = DottedAddressOctets(text);
    if (!octets)
        badValue();
    return std::string(octets->begin(), octets->end());
}

// One byte per dotted part: the low 8 bits of the part's leading number.
std::string addressBytes(const std::string& text)
{
    std::string bytes;
    if (text.empty())
        return bytes;
    size_t from = 0;
    while (true) {
        const size_t dot = text.find('.', from);
        const std::string part = text.substr(from, dot == std::string::npos ? std::string::npos : dot - from);
        bytes += static_cast<char>(ValueText::ReadInteger(part) & 0xFF);
        if (dot == std::string::npos)
            break;
        from = dot + 1;
    }
    return bytes;
}

std::string oidBytes(const std::string& text)
{
    std::string bytes;
    if (text.empty())
        return bytes;
    size_t from = text[0] == '.' ? 1 : 0;
    while (from <= text.size()) {
        const size_t dot = text.find('.', from);
        const std::string part = text.substr(from, dot == std::string::npos ? std::string::npos : dot - from);
        bytes += bytesOf(clampedUnsigned<uint32_t>(part));
        if (dot == std::string::npos)
            break;
        from = dot + 1;
    }
    return bytes;
}

std::string oidText(const std::string& bytes)
{
    std::string text;
    for (size_t at = 0; at + 4 <= bytes.size(); at += 4) {
        if (!text.empty())
            text += '.';
        text += std::to_string(numberOf<uint32_t>(bytes.substr(at, 4)));
    }
    return text;
}

} // namespace

Value FromText(int32_t syntax, const std::string& text)
{
    if (!known(syntax))
        RaiseQvSnmp(-511);
    Value value;
    if (text == kNull && keepsNull(syntax)) {
        value.null = true;
        return value;
    }
    switch (syntax) {
    case kSyntaxBoolean:
        value.bytes = bytesOf<int32_t>(text == "true" ? 1 : 0);
        break;
    case kSyntaxBool8:
        value.bytes = bytesOf<int8_t>(text == "true" ? 1 : 0);
        break;
    case kSyntaxBool16:
        value.bytes = bytesOf<int16_t>(text == "true" ? 1 : 0);
        break;
    case kSyntaxInteger:
        value.bytes = bytesOf(clamped<int32_t>(ValueText::ReadInteger(text)));
        break;
    case kSyntaxInt8:
        value.bytes = bytesOf(clamped<int8_t>(ValueText::ReadInteger(text)));
        break;
    case kSyntaxInt16:
        value.bytes = bytesOf(clamped<int16_t>(ValueText::ReadInteger(text)));
        break;
    case kSyntaxUInt8:
        value.bytes = bytesOf(clampedUnsigned<uint8_t>(text));
        break;
    case kSyntaxUInt16:
        value.bytes = bytesOf(clampedUnsigned<uint16_t>(text));
        break;
    case kSyntaxCounter:
    case kSyntaxGauge:
    case kSyntaxUInteger:
        value.bytes = bytesOf(clampedUnsigned<uint32_t>(text));
        break;
    case kSyntaxCounter64:
        value.bytes = bytesOf(clampedUnsigned<uint64_t>(text));
        break;
    case kSyntaxTimeTicks:
        value.bytes = bytesOf<uint32_t>(ValueText::ParseTimeTicks(text).value_or(0));
        break;
    case kSyntaxBitString:
    case kSyntaxOctetString:
    case kSyntaxOpaque:
    case kSyntaxMacAddress:
        value.bytes = ValueText::BytesFromHex(text);
        break;
    case kSyntaxNull:
        value.null = true;
        break;
    case kSyntaxObjectId:
        value.bytes = oidBytes(text);
        break;
    case kSyntaxIpAddress:
        value.bytes = ipAddressBytes(text);
        break;
    case kSyntaxNsapAddress:
        value.bytes = addressBytes(text);
        break;
    case kSyntaxDouble:
        value.bytes = ValueText::DoubleOctets(ValueText::ReadReal(text));
        break;
    case kSyntaxDateTime:
        value.bytes = QvDateTime::FromText(text).ToOctets();
        break;
    case kSyntaxBcDateTime:
        if (const auto number = DateTimeNumber::Parse(text))
            value.bytes = ValueText::DoubleOctets(*number);
        break;
    case kSyntaxDisplayString:
        if (text != kNull)
            value.bytes = text;
        break;
    default:
        RaiseQvSnmp(-511);
    }
    return value;
}

void Overlay(Value& value, const Value& with)
{
    if (with.null) {
        value = with;
        return;
    }
    value.null = false;
    if (value.bytes.size() < with.bytes.size())
        value.bytes.resize(with.bytes.size());
    value.bytes.replace(0, with.bytes.size(), with.bytes);
}

std::string ToText(int32_t syntax, const Value& value)
{
    if (!known(syntax))
        RaiseQvSnmp(-511);
    if (value.null)
        return kNull;
    const std::string& b = value.bytes;
    switch (syntax) {
    case kSyntaxBoolean:
        return numberOf<int32_t>(b) != 0 ? "true" : "false";
    case kSyntaxBool8:
        return numberOf<int8_t>(b) != 0 ? "true" : "false";
    case kSyntaxBool16:
        return numberOf<int16_t>(b) != 0 ? "true" : "false";
    case kSyntaxInteger:
        return std::to_string(numberOf<int32_t>(b));
    case kSyntaxInt8:
        return std::to_string(numberOf<int8_t>(b));
    case kSyntaxInt16:
        return std::to_string(numberOf<int16_t>(b));
    case kSyntaxUInt8:
        return std::to_string(numberOf<uint8_t>(b));
    case kSyntaxUInt16:
        return std::to_string(numberOf<uint16_t>(b));
    case kSyntaxCounter:
    case kSyntaxGauge:
    case kSyntaxUInteger:
        return std::to_string(numberOf<uint32_t>(b));
    case kSyntaxCounter64:
        return std::to_string(numberOf<uint64_t>(b));
    case kSyntaxTimeTicks:
        return ValueText::TimeTicks(numberOf<uint32_t>(b));
    case kSyntaxMacAddress:
        if (b.size() < 6)
            badValue();
        return ValueText::Hex(b);
    case kSyntaxBitString:
    case kSyntaxOctetString:
    case kSyntaxOpaque:
        return ValueText::Hex(b);
    case kSyntaxObjectId:
        return oidText(b);
    case kSyntaxIpAddress:
    case kSyntaxNsapAddress:
        if (b.size() < 4)
            badValue();
        return ValueText::IpAddressText(b.substr(0, 4));
    case kSyntaxDouble:
        return ValueText::Real(ValueText::DoubleFromOctets(b));
    case kSyntaxDateTime:
        return QvDateTime::FromOctets(b).ToText();
    case kSyntaxBcDateTime:
        if (b.size() < 8)
            badValue();
        return DateTimeNumber::Format(ValueText::DoubleFromOctets(b));
    case kSyntaxDisplayString:
        return b;
    default:
        return kNull;  // the null syntax
    }
}

} // namespace ByteForm
