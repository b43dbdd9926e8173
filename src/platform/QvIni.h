#pragma once

#include <string>

// Reader of the host's per-device parameter files (INI form). Every read goes to the file;
// nothing is cached, so a file changed while the module runs is seen at the next read.
class QvIni {
public:
    explicit QvIni(std::string path);

    const std::string& path() const { return m_path; }

    // The value of key in section with surrounding blanks and control characters removed;
    // the default when the file, the section or the key is missing or the value is empty.
    // Section and key names match without regard to case, as the host's profile reader did.
    std::string ReadText(const std::string& section, const std::string& key,
                         const std::string& defaultText) const;

private:
    std::string m_path;
};

// Removes leading and trailing blanks and control characters.
std::string TrimText(const std::string& text);
