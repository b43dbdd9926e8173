#pragma once

#include <span>

// The main window's menus, item by item. The menu is built from this one table and pages
// register against its entries, so a caption exists in one place only: a misspelt item name
// does not compile, and a page can never hang under a caption the menu does not show.
enum class MenuItem {
    Information, Wireless, LAN,
    Performance, Filters, Grouping, DHCPServer, MultiSSID, RogueAP, SystemLog,
    Admin, System, Firmware, ConfigurationFile, Miscellaneous,
    DeviceInfo, Stats, TrafficGraph, Indication, ClientInfo,
    About,
};

struct MenuEntry {
    MenuItem item;
    const char* menu;
    const char* caption;  // exactly as the device's users know it ("Rogue AP " with its blank)
};

// In menu order.
std::span<const MenuEntry> MenuEntries();
const MenuEntry& EntryOf(MenuItem item);
