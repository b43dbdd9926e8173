#include "shell/MenuItems.h"

#include <algorithm>
#include <stdexcept>

namespace {

constexpr MenuEntry kMenu[] = {
    {MenuItem::Information, "Home", "Information"},
    {MenuItem::Wireless, "Home", "Wireless"},
    {MenuItem::LAN, "Home", "LAN"},
    {MenuItem::Performance, "Advanced", "Performance"},
    {MenuItem::Filters, "Advanced", "Filters"},
    {MenuItem::Grouping, "Advanced", "Grouping"},
    {MenuItem::DHCPServer, "Advanced", "DHCP Server"},
    {MenuItem::MultiSSID, "Advanced", "Multi-SSID"},
    {MenuItem::RogueAP, "Advanced", "Rogue AP "},
    {MenuItem::SystemLog, "Advanced", "System Log"},
    {MenuItem::Admin, "Tools", "Admin"},
    {MenuItem::System, "Tools", "System"},
    {MenuItem::Firmware, "Tools", "Firmware"},
    {MenuItem::ConfigurationFile, "Tools", "Configuration File"},
    {MenuItem::Miscellaneous, "Tools", "Miscellaneous"},
    {MenuItem::DeviceInfo, "Status", "Device Info"},
    {MenuItem::Stats, "Status", "Stats"},
    {MenuItem::TrafficGraph, "Status", "Traffic Graph"},
    {MenuItem::Indication, "Status", "Indication"},
    {MenuItem::ClientInfo, "Status", "Client Info"},
    {MenuItem::About, "Help", "About"},
};

} // namespace

std::span<const MenuEntry> MenuEntries() { return kMenu; }

const MenuEntry& EntryOf(MenuItem item)
{
    const auto* entry = std::find_if(std::begin(kMenu), std::end(kMenu),
                                     [item](const MenuEntry& e) { return e.item == item; });
    if (entry == std::end(kMenu))
        throw std::logic_error("a menu item without an entry in the menu table");
    return *entry;
}
