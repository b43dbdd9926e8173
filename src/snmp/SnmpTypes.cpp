#include "snmp/SnmpTypes.h"

bool ParseOid(const std::string& text, OidValue& oid)
{
    oid.clear();
    size_t i = 0;
    if (!text.empty() && text[0] == '.')
        i = 1;
    if (i >= text.size())
        return false;
    uint64_t arc = 0;
    bool digits = false;
    for (; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '.') {
            if (!digits)
                return false;
            oid.push_back(static_cast<uint32_t>(arc));
            arc = 0;
            digits = false;
        } else if (text[i] >= '0' && text[i] <= '9') {
            arc = arc * 10 + static_cast<uint64_t>(text[i] - '0');
            if (arc > 0xFFFFFFFFULL)
                return false;
            digits = true;
        } else {
            return false;
        }
    }
    return true;
}

std::string OidToText(const OidValue& oid)
{
    std::string text;
    for (size_t i = 0; i < oid.size(); ++i) {
        if (i)
            text += '.';
        text += std::to_string(oid[i]);
    }
    return text;
}
