#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The host's registry, kept as a small INI file: one [section] per key path (written
// without the leading backslash, e.g. [SOFTWARE\Corvane\Orvant5.1\ExePath]) holding
// "value name=value" lines. Key paths and value names match without regard to case.
// The file is $VTA_HOST_REGISTRY, or host-registry.ini in $XDG_CONFIG_HOME/vta-module
// (~/.config/vta-module when XDG_CONFIG_HOME is not set).
//
// The file is the host's: the module adds a missing key by appending it, under a lock,
// and never writes a file it could not read and parse (an unreadable or foreign file,
// a folder in its place); comments and spacing stay as they are.
class HostRegistry {
public:
    static std::string defaultPath();

    explicit HostRegistry(std::string path = defaultPath());

    const std::string& path() const { return m_path; }

    // An unreadable or unparsable file reads as one without keys.
    bool keyExists(const std::string& keyPath) const;
    // Opens the key, creating it (and the file, and the file's own folder when that
    // folder's parent exists) when missing; false when it cannot be written.
    bool createKey(const std::string& keyPath);
    // The value, or nothing when the key or the value is missing.
    std::optional<std::string> readValue(const std::string& keyPath, const std::string& name) const;
    bool writeValue(const std::string& keyPath, const std::string& name, const std::string& value);

private:
    struct Section {
        std::string key;
        std::vector<std::pair<std::string, std::string>> values;
    };

    // The sections of a text; nothing when a line is neither blank, a comment, a
    // [section] nor a name=value line of a section.
    static std::optional<std::vector<Section>> parse(const std::string& text);
    std::vector<Section> load() const;
    // Runs change on the file's text and its sections while holding a lock on the file,
    // and stores the text when change altered it; false when the file cannot be read,
    // parsed or written, and then nothing is written.
    bool edit(const std::function<void(std::string& text, const std::vector<Section>& sections)>& change);

    std::string m_path;
};
