#include "shell/PageRegistry.h"

#include <map>

namespace {

struct Entry {
    PageRegistry::Factory factory;
    std::vector<PageRegistry::View> views;
    double pictureTimeScale = 1;
};

std::map<MenuItem, Entry>& pages()
{
    static std::map<MenuItem, Entry> registered;
    return registered;
}

} // namespace

namespace PageRegistry {

void add(MenuItem item, Factory factory) { pages()[item].factory = std::move(factory); }

void addView(MenuItem item, View view) { pages()[item].views.push_back(std::move(view)); }

void setPictureTimeScale(MenuItem item, double factor) { pages()[item].pictureTimeScale = factor; }

Factory find(MenuItem item)
{
    const auto found = pages().find(item);
    return found == pages().end() ? Factory{} : found->second.factory;
}

Factory find(const QString& caption)
{
    for (const MenuEntry& entry : MenuEntries())
        if (caption == entry.caption)
            return find(entry.item);
    return {};
}

std::vector<MenuItem> registered()
{
    std::vector<MenuItem> items;
    for (const auto& [item, entry] : pages())
        if (entry.factory)
            items.push_back(item);
    return items;
}

std::vector<Page> inMenuOrder()
{
    std::vector<Page> result;
    for (const MenuEntry& entry : MenuEntries()) {
        const auto found = pages().find(entry.item);
        if (found != pages().end() && found->second.factory)
            result.push_back({entry.item, entry.caption, found->second.factory, found->second.views,
                              found->second.pictureTimeScale});
    }
    return result;
}

void clear() { pages().clear(); }

} // namespace PageRegistry
