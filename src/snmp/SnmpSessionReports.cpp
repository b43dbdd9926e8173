#include "snmp/SnmpSessionReports.h"

#include <cstdint>
#include <vector>

namespace {

constexpr unsigned char kSequence = 0x30;
constexpr unsigned char kInteger = 0x02;
constexpr unsigned char kOctetString = 0x04;
constexpr unsigned char kObjectId = 0x06;
constexpr unsigned char kReportPdu = 0xA8;
constexpr unsigned char kAuthFlag = 0x01;
constexpr unsigned char kPrivFlag = 0x02;
constexpr long kVersion3 = 3;
constexpr long kUserBasedSecurity = 3;
// usmStatsUnknownEngineIDs.0
const std::vector<uint32_t> kUnknownEngineIds = {1, 3, 6, 1, 6, 3, 15, 1, 1, 4, 0};

// A cursor over BER data that refuses anything malformed instead of reading past its end.
class Ber {
public:
    Ber(const unsigned char* data, size_t size) : m_data(data), m_end(size) {}

    // Enters the element of that tag: the cursor then walks its contents.
    bool enter(unsigned char tag, Ber& inner)
    {
        size_t length = 0;
        if (!header(tag, length))
            return false;
        inner = Ber(m_data + m_at, length);
        m_at += length;
        return true;
    }
    bool integer(long& value)
    {
        size_t length = 0;
        if (!header(kInteger, length) || length == 0 || length > sizeof(long))
            return false;
        value = (m_data[m_at] & 0x80) ? -1 : 0;
        for (size_t i = 0; i < length; ++i)
            value = static_cast<long>((static_cast<unsigned long>(value) << 8) | m_data[m_at + i]);
        m_at += length;
        return true;
    }
    bool octets(std::string& value)
    {
        size_t length = 0;
        if (!header(kOctetString, length))
            return false;
        value.assign(reinterpret_cast<const char*>(m_data + m_at), length);
        m_at += length;
        return true;
    }
    bool objectId(std::vector<uint32_t>& value)
    {
        size_t length = 0;
        if (!header(kObjectId, length) || length == 0)
            return false;
        value = {static_cast<uint32_t>(m_data[m_at] / 40), static_cast<uint32_t>(m_data[m_at] % 40)};
        uint32_t arc = 0;
        for (size_t i = 1; i < length; ++i) {
            arc = (arc << 7) | (m_data[m_at + i] & 0x7F);
            if (!(m_data[m_at + i] & 0x80)) {
                value.push_back(arc);
                arc = 0;
            }
        }
        m_at += length;
        return true;
    }

private:
    bool header(unsigned char tag, size_t& length)
    {
        if (m_at + 2 > m_end || m_data[m_at] != tag)
            return false;
        size_t at = m_at + 1;
        const unsigned char first = m_data[at++];
        if (first < 0x80) {
            length = first;
        } else {
            const size_t bytes = first & 0x7F;
            if (bytes == 0 || bytes > 4 || at + bytes > m_end)
                return false;
            length = 0;
            for (size_t i = 0; i < bytes; ++i)
                length = (length << 8) | m_data[at++];
        }
        if (length > m_end - at)
            return false;
        m_at = at;
        return true;
    }

    const unsigned char* m_data = nullptr;
    size_t m_end = 0;
    size_t m_at = 0;
};

} // namespace

bool ReadUnknownEngineReport(const unsigned char* data, size_t size, std::string& engineId)
{
    Ber message(data, size), global(nullptr, 0), parameters(nullptr, 0), security(nullptr, 0);
    Ber scoped(nullptr, 0), pdu(nullptr, 0), bindings(nullptr, 0), binding(nullptr, 0);
    long version = 0, messageId = 0, maxSize = 0, model = 0, requestId = 0, status = 0, index = 0;
    std::string flags, contextEngine, contextName;
    Ber outer(data, size);
    if (!outer.enter(kSequence, message) || !message.integer(version) || version != kVersion3)
        return false;
    if (!message.enter(kSequence, global) || !global.integer(messageId) || !global.integer(maxSize)
        || !global.octets(flags) || flags.size() != 1 || !global.integer(model) || model != kUserBasedSecurity)
        return false;
    // Only a plain-text report can say that the engine ID is unknown: the agent has no keys
    // for an engine it is not.
    if (flags[0] & (kAuthFlag | kPrivFlag))
        return false;
    std::string securityParameters;
    if (!message.octets(securityParameters))
        return false;
    parameters = Ber(reinterpret_cast<const unsigned char*>(securityParameters.data()), securityParameters.size());
    std::string authoritativeEngine;
    if (!parameters.enter(kSequence, security) || !security.octets(authoritativeEngine) || authoritativeEngine.empty())
        return false;
    if (!message.enter(kSequence, scoped) || !scoped.octets(contextEngine) || !scoped.octets(contextName)
        || !scoped.enter(kReportPdu, pdu) || !pdu.integer(requestId) || !pdu.integer(status) || !pdu.integer(index)
        || !pdu.enter(kSequence, bindings) || !bindings.enter(kSequence, binding))
        return false;
    std::vector<uint32_t> name;
    if (!binding.objectId(name) || name != kUnknownEngineIds)
        return false;
    engineId = authoritativeEngine;
    return true;
}
