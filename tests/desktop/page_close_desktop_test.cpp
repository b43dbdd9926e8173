#include "binding/Mnemonics.h"
#include "shell/MenuItems.h"
#include "support/DesktopSession.h"

#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

#include <map>

// On a real desktop the window manager's close request and Escape reach a page that waits for
// a device that has stopped answering: every page goes within a second, whatever it waits for.
namespace {

// The key that opens an entry from the menu bar: Alt with the menu's letter, then the item's,
// as the main window chooses them from the menu table.
struct MenuKeys {
    QString menu;
    QString item;
};

QString letterOf(const QString& marked)
{
    for (int i = 0; i + 1 < marked.size(); ++i) {
        if (marked[i] != '&')
            continue;
        if (marked[i + 1] != '&')
            return marked.mid(i + 1, 1).toLower();
        ++i;
    }
    return {};
}

std::map<MenuItem, MenuKeys> KeysOfTheMenu()
{
    QStringList menus;
    std::map<QString, QStringList> items;
    for (const MenuEntry& entry : MenuEntries()) {
        if (!menus.contains(entry.menu))
            menus << entry.menu;
        items[entry.menu] << entry.caption;
    }
    const QStringList markedMenus = WithMnemonics(menus);
    std::map<MenuItem, MenuKeys> keys;
    for (int m = 0; m < menus.size(); ++m) {
        const QStringList marked = WithMnemonics(items[menus[m]]);
        int i = 0;
        for (const MenuEntry& entry : MenuEntries())
            if (entry.menu == menus[m])
                keys[entry.item] = {letterOf(markedMenus[m]), letterOf(marked[i++])};
    }
    return keys;
}

// The windows the menu opens; Rogue AP is offered only on another model and Client Info only
// while the device answers, so neither can be opened here.
struct Opened {
    MenuItem item;
    const char* title;
};
const Opened kPages[] = {
    {MenuItem::Information, "Home \\ Information"},   {MenuItem::Wireless, "Home \\ Wireless"},
    {MenuItem::LAN, "Home \\ LAN"},                   {MenuItem::Performance, "Advanced \\ Performance"},
    {MenuItem::Filters, "Advanced \\ Filters"},       {MenuItem::Grouping, "Advanced \\ Grouping"},
    {MenuItem::DHCPServer, "Advanced \\ DHCP Server"}, {MenuItem::MultiSSID, "Advanced \\ Multi-SSID"},
    {MenuItem::SystemLog, "Advanced \\ System Log"},  {MenuItem::Admin, "Tools \\ Admin"},
    {MenuItem::System, "Tools \\ System"},            {MenuItem::Firmware, "Tools \\ Firmware"},
    {MenuItem::ConfigurationFile, "Tools \\ Configuration File"},
    {MenuItem::Miscellaneous, "Tools \\ Misc."},      {MenuItem::DeviceInfo, "Status \\ Device Info"},
    {MenuItem::Stats, "Status \\ Stats"},             {MenuItem::TrafficGraph, "Status \\ Traffic Graph"},
    {MenuItem::Indication, "Status \\ Indication"},   {MenuItem::About, "About"},
};

// Longer than the Status menu's question to a silent device takes.
constexpr unsigned long kStatusMenuWaitMs = 6000;

// Every page, opened with the keyboard once the device has stopped answering and given a
// moment to start waiting for it, goes within a second of its close box (every other page:
// of Escape). The main window's close box then ends the module as quickly.
TEST(PagesOnTheDesktop, GoWithinASecondOfTheCloseBoxOrEscapeWhileTheDeviceIsSilent)
{
    DesktopSession desktop;
    ASSERT_TRUE(desktop.start()) << desktop.error();
    ASSERT_TRUE(desktop.startModule()) << desktop.error();
    // The main window learns the device first, as it would have before it stopped.
    QThread::msleep(2000);
    desktop.device()->pause();
    const std::map<MenuItem, MenuKeys> keys = KeysOfTheMenu();
    QStringList late, unopened;
    bool closeBox = true;
    for (const Opened& page : kPages) {
        const MenuKeys& key = keys.at(page.item);
        if (EntryOf(page.item).menu == QString("Status")) {
            // The Status menu asks the device what it offers before it opens: on a silent
            // device the menu comes once that question has timed out.
            ASSERT_TRUE(desktop.keys(desktop.mainWindow(), {"alt+" + key.menu}));
            QThread::msleep(kStatusMenuWaitMs);
            desktop.run("xdotool", {"key", key.item});
        } else {
            ASSERT_TRUE(desktop.keys(desktop.mainWindow(), {"alt+" + key.menu, key.item}));
        }
        const QString window = desktop.waitForWindow(page.title, 10000);
        if (window.isEmpty()) {
            unopened << page.title;
            continue;
        }
        QThread::msleep(1500);
        const bool asked = closeBox ? desktop.requestClose(window) : desktop.keys(window, {"Escape"});
        ASSERT_TRUE(asked) << page.title;
        const qint64 gone = desktop.waitUntilGone(window, 20000);
        if (gone < 0 || gone >= 1000)
            late << QString("%1 by %2 (%3 ms)").arg(page.title, closeBox ? "close box" : "Escape").arg(gone);
        closeBox = !closeBox;
    }
    EXPECT_TRUE(unopened.isEmpty()) << "not opened from the keyboard: " << unopened.join(", ").toStdString();
    EXPECT_TRUE(late.isEmpty()) << "went late: " << late.join(", ").toStdString();
    ASSERT_TRUE(desktop.requestClose(desktop.mainWindow()));
    const qint64 gone = desktop.waitUntilGone(desktop.mainWindow(), 10000);
    EXPECT_GE(gone, 0);
    EXPECT_LT(gone, 1000);
}

} // namespace
