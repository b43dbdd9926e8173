#include "DeviceEngine.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cstdio>
#include <random>

namespace {

// Octets drawn once per run: two runs of the simulator are two sets of engines.
const std::vector<unsigned char>& RunOctets()
{
    static const std::vector<unsigned char> octets = [] {
        std::random_device source;
        std::vector<unsigned char> drawn(8);
        for (unsigned char& octet : drawn)
            octet = static_cast<unsigned char>(source());
        return drawn;
    }();
    return octets;
}

}  // namespace

DeviceEngine::DeviceEngine(uint16_t index)
{
    // Enterprise 32473 with the top bit set (an RFC 3411 engine ID), format 5: octets.
    m_id = {0x80, 0x00, 0x7e, 0xd9, 0x05};
    m_id.insert(m_id.end(), RunOctets().begin(), RunOctets().end());
    m_id.push_back(static_cast<unsigned char>(index >> 8));
    m_id.push_back(static_cast<unsigned char>(index & 0xff));
}

std::string DeviceEngine::hex() const
{
    static const char digits[] = "0123456789abcdef";
    std::string text = "0x";
    for (unsigned char octet : m_id) {
        text += digits[octet >> 4];
        text += digits[octet & 0xf];
    }
    return text;
}

void DeviceEngine::enter(unsigned boots) const
{
    set_exact_engineID(m_id.data(), m_id.size());
    // The library's only public way to set its boots: the configuration line, which holds the
    // count of the start before.
    char previous[16];
    std::snprintf(previous, sizeof previous, "%u", boots > 0 ? boots - 1 : 0);
    engineBoots_conf("engineBoots", previous);
    // Requests are taken only for an engine the library keeps times for, and answers carry the
    // boots and time kept there.
    set_enginetime(m_id.data(), static_cast<u_int>(m_id.size()), boots,
                   static_cast<u_int>(snmpv3_local_snmpEngineTime()), TRUE);
}
