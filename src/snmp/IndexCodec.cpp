#include "snmp/IndexCodec.h"

#include "snmp/DateTimeNumber.h"
#include "snmp/ErrorCatalogue.h"
#include "snmp/QvDateTime.h"
#include "snmp/ValueText.h"
#include "snmp/VariableDescriptor.h"

#include <cstring>

namespace IndexCodec {

namespace {

const OidValue& need(const OidValue& subIds, size_t pos, size_t n)
{
    if (pos + n > subIds.size())
        RaiseQvSnmp(-514);
    return subIds;
}

std::string octetsAt(const OidValue& subIds, size_t pos, size_t n)
{
    need(subIds, pos, n);
    std::string octets;
    for (size_t i = 0; i < n; ++i)
        octets += static_cast<char>(subIds[pos + i] & 0xFF);
    return octets;
}

// Length-prefixed (or, for an implied last key, all remaining) sub-identifiers.
size_t variableLength(bool impliedLast, const OidValue& subIds, size_t& pos)
{
    if (impliedLast)
        return subIds.size() - pos;
    need(subIds, pos, 1);
    return subIds[pos++];
}

double doubleFromHalves(uint32_t low, uint32_t high)
{
    const uint64_t bits = (static_cast<uint64_t>(high) << 32) | low;
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void appendHalves(OidValue& out, double value)
{
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    out.push_back(static_cast<uint32_t>(bits & 0xFFFFFFFFu));
    out.push_back(static_cast<uint32_t>(bits >> 32));
}

void appendOctets(OidValue& out, bool impliedLast, const std::string& octets)
{
    if (!impliedLast)
        out.push_back(static_cast<uint32_t>(octets.size()));
    for (unsigned char c : octets)
        out.push_back(c);
}

} // namespace

std::string Decode(int32_t syntax, bool impliedLast, const OidValue& subIds, size_t& pos)
{
    switch (syntax) {
    case kSyntaxBoolean:
        need(subIds, pos, 1);
        return subIds[pos++] != 0 ? "true" : "false";
    case kSyntaxInteger:
        need(subIds, pos, 1);
        return std::to_string(static_cast<int32_t>(subIds[pos++]));
    case kSyntaxBitString:
    case kSyntaxOctetString:
    case kSyntaxOpaque:
    case kSyntaxDisplayString: {
        const size_t n = variableLength(impliedLast, subIds, pos);
        const std::string octets = octetsAt(subIds, pos, n);
        pos += n;
        return syntax == kSyntaxDisplayString ? octets : ValueText::Hex(octets);
    }
    case kSyntaxNull:
        return ValueText::kNull;
    case kSyntaxObjectId: {
        const size_t n = variableLength(impliedLast, subIds, pos);
        need(subIds, pos, n);
        const OidValue value(subIds.begin() + static_cast<std::ptrdiff_t>(pos),
                             subIds.begin() + static_cast<std::ptrdiff_t>(pos + n));
        pos += n;
        return OidToText(value);
    }
    case kSyntaxIpAddress:
    case kSyntaxNsapAddress: {
        const std::string octets = octetsAt(subIds, pos, 4);
        pos += 4;
        return ValueText::IpAddressText(octets);
    }
    case kSyntaxCounter:
    case kSyntaxGauge:
    case kSyntaxUInteger:
        need(subIds, pos, 1);
        return std::to_string(subIds[pos++]);
    case kSyntaxTimeTicks:
        need(subIds, pos, 1);
        return ValueText::TimeTicks(subIds[pos++]);
    case kSyntaxCounter64: {
        need(subIds, pos, 2);
        const uint64_t value = (static_cast<uint64_t>(subIds[pos]) << 32) | subIds[pos + 1];
        pos += 2;
        return std::to_string(value);
    }
    case kSyntaxDouble:
    case kSyntaxBcDateTime: {
        need(subIds, pos, 2);
        const double value = doubleFromHalves(subIds[pos], subIds[pos + 1]);
        pos += 2;
        return syntax == kSyntaxDouble ? ValueText::Real(value) : DateTimeNumber::Format(value);
    }
    case kSyntaxMacAddress: {
        const std::string octets = octetsAt(subIds, pos, 6);
        pos += 6;
        return ValueText::Hex(octets);
    }
    case kSyntaxDateTime: {
        const std::string octets = octetsAt(subIds, pos, 11);
        pos += 11;
        return QvDateTime::FromOctets(octets).ToText();
    }
    default:
        RaiseQvSnmp(-511);
    }
}

std::string Encode(int32_t syntax, bool impliedLast, const std::string& text)
{
    OidValue out;
    switch (syntax) {
    case kSyntaxBoolean:
        out.push_back(text == "true" ? 1 : 0);
        break;
    case kSyntaxInteger:
    case kSyntaxCounter:
    case kSyntaxGauge:
    case kSyntaxUInteger:
        // A negative integer key travels as its 32-bit pattern, as the decoder reads it.
        out.push_back(static_cast<uint32_t>(ValueText::ReadInteger(text)));
        break;
    case kSyntaxBitString:
    case kSyntaxOctetString:
    case kSyntaxOpaque:
        appendOctets(out, impliedLast, ValueText::BytesFromHex(text));
        break;
    case kSyntaxDisplayString:
        appendOctets(out, impliedLast, text);
        break;
    case kSyntaxNull:
        break;
    case kSyntaxObjectId: {
        OidValue value;
        if (!text.empty() && !ParseOid(text, value))
            RaiseQvSnmp(-518);
        if (!impliedLast)
            out.push_back(static_cast<uint32_t>(value.size()));
        out.insert(out.end(), value.begin(), value.end());
        break;
    }
    case kSyntaxIpAddress:
    case kSyntaxNsapAddress: {
        const auto octets = ValueText::ParseIpAddress(text);
        if (!octets)
            RaiseQvSnmp(-518);
        for (unsigned char c : *octets)
            out.push_back(c);
        break;
    }
    case kSyntaxTimeTicks: {
        const auto ticks = ValueText::ParseTimeTicks(text);
        if (!ticks)
            RaiseQvSnmp(-518);
        out.push_back(*ticks);
        break;
    }
    case kSyntaxCounter64: {
        const uint64_t value = ValueText::ReadUnsigned(text);
        out.push_back(static_cast<uint32_t>(value >> 32));
        out.push_back(static_cast<uint32_t>(value & 0xFFFFFFFFu));
        break;
    }
    case kSyntaxDouble:
        appendHalves(out, ValueText::ReadReal(text));
        break;
    case kSyntaxBcDateTime: {
        const auto number = DateTimeNumber::Parse(text);
        if (!number)
            RaiseQvSnmp(-518);
        appendHalves(out, *number);
        break;
    }
    case kSyntaxMacAddress: {
        // A MAC address key is always six octets; a shorter text gives no key at all.
        const std::string octets = ValueText::BytesFromHex(text);
        if (octets.size() >= 6)
            for (size_t i = 0; i < 6; ++i)
                out.push_back(static_cast<unsigned char>(octets[i]));
        break;
    }
    case kSyntaxDateTime:
        for (unsigned char c : QvDateTime::FromText(text).ToOctets())
            out.push_back(c);
        break;
    default:
        RaiseQvSnmp(-511);
    }
    return OidToText(out);
}

} // namespace IndexCodec
