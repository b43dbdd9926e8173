#include "platform/QvIni.h"

#include "platform/IniText.h"

#include <fstream>

namespace {

// The profile reader filled a buffer of this size, terminator included.
constexpr size_t kProfileBufferSize = 4096;

// What the profile reader itself returned for a value: blanks around it removed and one
// pair of matching surrounding quotes stripped.
std::string profileValue(std::string value)
{
    value = TrimmedIniText(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    if (value.size() > kProfileBufferSize - 1)
        value.resize(kProfileBufferSize - 1);
    return value;
}

} // namespace

std::string TrimText(const std::string& text)
{
    auto isTrimmed = [](unsigned char c) { return c <= ' '; };
    size_t first = 0;
    while (first < text.size() && isTrimmed(text[first]))
        ++first;
    size_t last = text.size();
    while (last > first && isTrimmed(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

QvIni::QvIni(std::string path)
    : m_path(std::move(path))
{
}

std::string QvIni::ReadText(const std::string& section, const std::string& key,
                            const std::string& defaultText) const
{
    std::ifstream file(m_path);
    if (!file)
        return defaultText;
    bool inSection = false;
    std::string line;
    while (std::getline(file, line)) {
        const std::string trimmed = TrimmedIniText(line);
        if (trimmed.empty() || trimmed[0] == ';')
            continue;
        if (trimmed[0] == '[') {
            const auto close = trimmed.find(']');
            const std::string name = TrimmedIniText(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            inSection = SameIniName(name, section);
            continue;
        }
        if (!inSection)
            continue;
        const auto equals = trimmed.find('=');
        if (equals == std::string::npos || !SameIniName(TrimmedIniText(trimmed.substr(0, equals)), key))
            continue;
        const std::string value = profileValue(trimmed.substr(equals + 1));
        if (value.empty())
            return defaultText;
        return TrimText(value);
    }
    return defaultText;
}
