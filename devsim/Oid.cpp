#include "Oid.h"

#include <cctype>
#include <charconv>

std::optional<Oid> ParseOid(const std::string& dotted)
{
    Oid result;
    size_t i = 0;
    if (i < dotted.size() && dotted[i] == '.')
        ++i;
    if (i >= dotted.size())
        return std::nullopt;
    while (i < dotted.size()) {
        if (!std::isdigit(static_cast<unsigned char>(dotted[i])))
            return std::nullopt;
        unsigned long long arc = 0;
        while (i < dotted.size() && std::isdigit(static_cast<unsigned char>(dotted[i]))) {
            arc = arc * 10 + static_cast<unsigned>(dotted[i] - '0');
            if (arc > 0xFFFFFFFFull)
                return std::nullopt;
            ++i;
        }
        result.push_back(static_cast<oid>(arc));
        if (i < dotted.size()) {
            if (dotted[i] != '.' || i + 1 == dotted.size())
                return std::nullopt;
            ++i;
        }
    }
    return result;
}

void AppendOidText(std::string& out, const Oid& value)
{
    char arc[24];
    for (size_t i = 0; i < value.size(); ++i) {
        if (i)
            out += '.';
        out.append(arc, std::to_chars(arc, arc + sizeof arc, value[i]).ptr);
    }
}

std::string OidText(const Oid& value)
{
    std::string text;
    AppendOidText(text, value);
    return text;
}

Oid Concat(const Oid& prefix, const Oid& suffix)
{
    Oid result = prefix;
    result.insert(result.end(), suffix.begin(), suffix.end());
    return result;
}

bool HasPrefix(const Oid& value, const Oid& prefix)
{
    return value.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), value.begin());
}
