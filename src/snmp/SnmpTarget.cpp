#include "snmp/SnmpTarget.h"

#include "snmp/ErrorCatalogue.h"

#include <arpa/inet.h>
#include <map>
#include <netdb.h>
#include <optional>

namespace {

std::optional<std::string> resolveIPv4(const std::string& name)
{
    if (name.empty())
        return std::nullopt;
    in_addr literal{};
    if (inet_pton(AF_INET, name.c_str(), &literal) == 1)
        return name;
    // A name is looked up once per run: the agent does not move while the module runs.
    static std::map<std::string, std::string> resolved;
    if (auto known = resolved.find(name); known != resolved.end())
        return known->second;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found)
        return std::nullopt;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr, text, sizeof text);
    freeaddrinfo(found);
    resolved[name] = text;
    return std::string(text);
}

} // namespace

SnmpTarget BuildTarget(const SnmpConnection& connection, int timeout, int retries)
{
    const auto address = resolveIPv4(connection.device.address);
    if (!address)
        RaiseQvSnmp(-509);
    SnmpTarget target;
    target.address = *address;
    target.port = connection.device.port;
    target.version = connection.security.version;
    target.timeout = timeout;
    target.retries = retries;
    target.readCommunity = connection.security.readCommunity;
    target.writeCommunity = connection.security.writeCommunity;
    target.securityLevel = connection.security.securityLevel;
    target.securityName = connection.security.securityName;
    target.authPassword = connection.security.authPassword;
    target.privPassword = connection.security.privPassword;
    target.authProtocol = connection.security.authProtocol;
    target.privProtocol = connection.security.privProtocol;
    target.contextName = connection.scope.contextName;
    target.contextEngineId = connection.scope.contextEngineId;
    return target;
}
