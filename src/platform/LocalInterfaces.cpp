#include "platform/LocalInterfaces.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace {

std::string dotted(const sockaddr* address)
{
    if (!address || address->sa_family != AF_INET)
        return "0.0.0.0";
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
    return text;
}

} // namespace

int LocalInterfaces(std::vector<LocalInterface>& list)
{
    list.clear();
    ifaddrs* all = nullptr;
    if (getifaddrs(&all) != 0)
        return 0;
    const int count = LocalInterfacesFrom(all, list);
    freeifaddrs(all);
    return count;
}

int LocalInterfacesFrom(const ifaddrs* all, std::vector<LocalInterface>& list)
{
    list.clear();
    for (const ifaddrs* entry = all; entry && list.size() < kMaxLocalInterfaces; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        LocalInterface item;
        item.address = dotted(entry->ifa_addr);
        item.netmask = dotted(entry->ifa_netmask);
        item.up = entry->ifa_flags & IFF_UP;
        item.broadcast = entry->ifa_flags & IFF_BROADCAST;
        item.loopback = entry->ifa_flags & IFF_LOOPBACK;
        item.pointToPoint = entry->ifa_flags & IFF_POINTOPOINT;
        item.multicast = entry->ifa_flags & IFF_MULTICAST;
        list.push_back(item);
    }
    return static_cast<int>(list.size());
}
