#include "platform/HostRegistry.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

std::string normalisedKey(const std::string& keyPath)
{
    std::string key = keyPath;
    std::replace(key.begin(), key.end(), '/', '\\');
    while (!key.empty() && key.front() == '\\')
        key.erase(key.begin());
    while (!key.empty() && key.back() == '\\')
        key.pop_back();
    return key;
}

bool sameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

} // namespace

std::string HostRegistry::defaultPath()
{
    if (const char* path = std::getenv("VTA_HOST_REGISTRY"); path && *path)
        return path;
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::string(home) + "/.config";
    else
        base = ".";
    return base + "/vta-module/host-registry.ini";
}

HostRegistry::HostRegistry(std::string path)
    : m_path(std::move(path))
{
}

std::vector<HostRegistry::Section> HostRegistry::load() const
{
    std::vector<Section> sections;
    std::ifstream file(m_path);
    std::string line;
    while (std::getline(file, line)) {
        const std::string text = trimmed(line);
        if (text.empty() || text[0] == ';' || text[0] == '#')
            continue;
        if (text.front() == '[' && text.back() == ']') {
            sections.push_back({normalisedKey(text.substr(1, text.size() - 2)), {}});
            continue;
        }
        const auto equals = text.find('=');
        if (equals == std::string::npos || sections.empty())
            continue;
        sections.back().values.emplace_back(trimmed(text.substr(0, equals)),
                                            trimmed(text.substr(equals + 1)));
    }
    return sections;
}

bool HostRegistry::save(const std::vector<Section>& sections) const
{
    std::error_code ignored;
    const std::filesystem::path path(m_path);
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), ignored);
    const std::string temporary = m_path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::trunc);
        if (!file)
            return false;
        for (const Section& section : sections) {
            file << '[' << section.key << "]\n";
            for (const auto& [name, value] : section.values)
                file << name << '=' << value << '\n';
            file << '\n';
        }
        if (!file.flush())
            return false;
    }
    // Replace in one step so a reader never sees half a file.
    std::filesystem::rename(temporary, path, ignored);
    return !ignored;
}

bool HostRegistry::keyExists(const std::string& keyPath) const
{
    const std::string key = normalisedKey(keyPath);
    const auto sections = load();
    return std::any_of(sections.begin(), sections.end(),
                       [&](const Section& s) { return sameName(s.key, key); });
}

bool HostRegistry::createKey(const std::string& keyPath)
{
    if (keyExists(keyPath))
        return true;
    auto sections = load();
    sections.push_back({normalisedKey(keyPath), {}});
    return save(sections);
}

std::optional<std::string> HostRegistry::readValue(const std::string& keyPath,
                                                   const std::string& name) const
{
    const std::string key = normalisedKey(keyPath);
    for (const Section& section : load()) {
        if (!sameName(section.key, key))
            continue;
        for (const auto& [valueName, value] : section.values)
            if (sameName(valueName, name))
                return value;
    }
    return std::nullopt;
}

bool HostRegistry::writeValue(const std::string& keyPath, const std::string& name,
                              const std::string& value)
{
    const std::string key = normalisedKey(keyPath);
    auto sections = load();
    auto section = std::find_if(sections.begin(), sections.end(),
                                [&](const Section& s) { return sameName(s.key, key); });
    if (section == sections.end()) {
        sections.push_back({key, {}});
        section = sections.end() - 1;
    }
    auto entry = std::find_if(section->values.begin(), section->values.end(),
                              [&](const auto& v) { return sameName(v.first, name); });
    if (entry == section->values.end())
        section->values.emplace_back(name, value);
    else
        entry->second = value;
    return save(sections);
}
