#include "platform/HostRegistry.h"

#include "platform/ConfigFolder.h"
#include "platform/IniText.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

template <typename Sections>
bool hasSection(const Sections& sections, const std::string& key)
{
    return std::any_of(sections.begin(), sections.end(), [&](const auto& s) { return SameIniName(s.key, key); });
}

// Adds a line at the end of a text, after a line break when the text lacks its last one.
void appendLine(std::string& text, const std::string& line)
{
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    text += line + '\n';
}

} // namespace

std::string HostRegistry::defaultPath()
{
    if (const char* path = std::getenv("VTA_HOST_REGISTRY"); path && *path)
        return path;
    return ModuleConfigFolder() + "/host-registry.ini";
}

HostRegistry::HostRegistry(std::string path)
    : m_path(std::move(path))
{
}

std::optional<std::vector<HostRegistry::Section>> HostRegistry::parse(const std::string& text)
{
    if (text.find('\0') != std::string::npos)
        return std::nullopt;
    std::vector<Section> sections;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const std::string entry = TrimmedIniText(line);
        if (entry.empty() || entry[0] == ';' || entry[0] == '#')
            continue;
        if (entry.front() == '[' && entry.back() == ']') {
            sections.push_back({normalisedKey(entry.substr(1, entry.size() - 2)), {}});
            continue;
        }
        const auto equals = entry.find('=');
        if (equals == std::string::npos || sections.empty())
            return std::nullopt;
        sections.back().values.emplace_back(TrimmedIniText(entry.substr(0, equals)),
                                            TrimmedIniText(entry.substr(equals + 1)));
    }
    return sections;
}

std::vector<HostRegistry::Section> HostRegistry::load() const
{
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(m_path, ignored))
        return {};
    std::ifstream file(m_path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return parse(text.str()).value_or(std::vector<Section>{});
}

bool HostRegistry::edit(const std::function<void(std::string&, const std::vector<Section>&)>& change)
{
    // Only the registry's own folder is made: a tree under a home that is not there (or a
    // configuration folder nobody made) means this is not where the host keeps it.
    const std::filesystem::path path(m_path);
    std::error_code error;
    if (path.has_parent_path() && !std::filesystem::exists(path.parent_path(), error)) {
        // Only its owner looks inside, as in the module's other folders.
        if (!std::filesystem::is_directory(path.parent_path().parent_path(), error)
            || (::mkdir(path.parent_path().c_str(), 0700) != 0 && errno != EEXIST))
            return false;
    }
    const int fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::flock(fd, LOCK_EX) != 0)
        return false;

    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0)
            return false;
        text.append(buffer, static_cast<size_t>(n));
    }
    const std::optional<std::vector<Section>> sections = parse(text);
    if (!sections)
        return false;
    std::string changed = text;
    change(changed, *sections);
    if (changed == text)
        return true;
    // An addition at the end is appended; anything else is written over the old text.
    const bool appended = changed.compare(0, text.size(), text) == 0;
    const std::string bytes = appended ? changed.substr(text.size()) : changed;
    const off_t at = appended ? static_cast<off_t>(text.size()) : 0;
    if (!appended && ::ftruncate(fd, 0) != 0)
        return false;
    return ::pwrite(fd, bytes.data(), bytes.size(), at) == static_cast<ssize_t>(bytes.size());
}

bool HostRegistry::keyExists(const std::string& keyPath) const
{
    const std::string key = normalisedKey(keyPath);
    const auto sections = load();
    return std::any_of(sections.begin(), sections.end(),
                       [&](const Section& s) { return SameIniName(s.key, key); });
}

bool HostRegistry::createKey(const std::string& keyPath)
{
    const std::string key = normalisedKey(keyPath);
    return edit([&](std::string& text, const std::vector<Section>& sections) {
        if (hasSection(sections, key))
            return;
        appendLine(text, '[' + key + ']');
    });
}

std::optional<std::string> HostRegistry::readValue(const std::string& keyPath,
                                                   const std::string& name) const
{
    const std::string key = normalisedKey(keyPath);
    for (const Section& section : load()) {
        if (!SameIniName(section.key, key))
            continue;
        for (const auto& [valueName, value] : section.values)
            if (SameIniName(valueName, name))
                return value;
    }
    return std::nullopt;
}

bool HostRegistry::writeValue(const std::string& keyPath, const std::string& name,
                              const std::string& value)
{
    const std::string key = normalisedKey(keyPath);
    const auto isKey = [&](const std::string& header) { return SameIniName(normalisedKey(header), key); };
    return edit([&](std::string& text, const std::vector<Section>&) { text = WithIniValue(text, isKey, key, name, value); });
}
