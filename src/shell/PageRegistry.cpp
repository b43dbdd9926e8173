#include "shell/PageRegistry.h"

#include <map>

namespace {

std::map<MenuItem, PageRegistry::Factory>& pages()
{
    static std::map<MenuItem, PageRegistry::Factory> registered;
    return registered;
}

} // namespace

namespace PageRegistry {

void add(MenuItem item, Factory factory) { pages()[item] = std::move(factory); }

Factory find(MenuItem item)
{
    const auto found = pages().find(item);
    return found == pages().end() ? Factory{} : found->second;
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
    for (const auto& [item, factory] : pages())
        items.push_back(item);
    return items;
}

void clear() { pages().clear(); }

} // namespace PageRegistry
