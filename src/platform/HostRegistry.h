#pragma once

#include <optional>
#include <string>
#include <vector>

// The host's registry, kept as a small INI file: one [section] per key path (written
// without the leading backslash, e.g. [SOFTWARE\Corvane\Orvant5.1\ExePath]) holding
// "value name=value" lines. Key paths and value names match without regard to case.
// The file is $VTA_HOST_REGISTRY, or host-registry.ini in $XDG_CONFIG_HOME/vta-module
// (~/.config/vta-module when XDG_CONFIG_HOME is not set).
class HostRegistry {
public:
    static std::string defaultPath();

    explicit HostRegistry(std::string path = defaultPath());

    const std::string& path() const { return m_path; }

    bool keyExists(const std::string& keyPath) const;
    // Opens the key, creating it (and the file) when missing; false when it cannot be written.
    bool createKey(const std::string& keyPath);
    // The value, or nothing when the key or the value is missing.
    std::optional<std::string> readValue(const std::string& keyPath, const std::string& name) const;
    bool writeValue(const std::string& keyPath, const std::string& name, const std::string& value);

private:
    struct Section {
        std::string key;
        std::vector<std::pair<std::string, std::string>> values;
    };

    std::vector<Section> load() const;
    bool save(const std::vector<Section>& sections) const;

    std::string m_path;
};
