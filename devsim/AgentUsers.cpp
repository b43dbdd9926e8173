#include "AgentUsers.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>
#include <net-snmp/library/keytools.h>
#include <net-snmp/library/transform_oids.h>

#include <map>
#include <sstream>

namespace {

// The pass phrase's key before localization ("0x..."), as the configuration takes it after -m.
std::string MasterKey(const std::string& authProtocol, const std::string& phrase)
{
    static std::map<std::pair<std::string, std::string>, std::string> known;
    auto [entry, fresh] = known.try_emplace({authProtocol, phrase});
    if (!fresh)
        return entry->second;
    oid* hash = authProtocol == "MD5" ? usmHMACMD5AuthProtocol : usmHMACSHA1AuthProtocol;
    u_char key[SNMP_MAXBUF_SMALL];
    size_t length = sizeof key;
    if (generate_Ku(hash, 10, reinterpret_cast<const u_char*>(phrase.data()), phrase.size(), key, &length) !=
        SNMPERR_SUCCESS)
        return entry->second;  // empty: the line is refused and the user missing, as for a bad phrase
    static const char digits[] = "0123456789abcdef";
    std::string text = "0x";
    for (size_t i = 0; i < length; ++i) {
        text += digits[key[i] >> 4];
        text += digits[key[i] & 0xf];
    }
    return entry->second = text;
}

}  // namespace

std::string UserLines(const std::vector<std::pair<std::string, const std::vector<UsmUser>*>>& devices)
{
    std::ostringstream lines;
    std::map<std::string, bool> privacy;  // by user name: whether every device asks for it
    for (const auto& [engine, users] : devices)
        for (const UsmUser& user : *users) {
            lines << "createUser -e " << engine << " " << user.name << " " << user.authProtocol << " -m "
                  << MasterKey(user.authProtocol, user.authPassword);
            if (!user.privProtocol.empty())
                lines << " " << user.privProtocol << " -m " << MasterKey(user.authProtocol, user.privPassword);
            lines << "\n";
            auto [known, first] = privacy.try_emplace(user.name, !user.privProtocol.empty());
            known->second = known->second && !user.privProtocol.empty();
        }
    for (const auto& [name, withPrivacy] : privacy)
        lines << "rwuser " << name << (withPrivacy ? " priv" : " auth") << "\n";
    return lines.str();
}
