#include "platform/IniText.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <vector>

bool SameIniName(const std::string& a, const std::string& b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::string TrimmedIniText(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::string WithIniValue(const std::string& text, const std::function<bool(const std::string&)>& isSection,
                         const std::string& header, const std::string& name, const std::string& value)
{
    const std::string entry = name + '=' + value;
    std::vector<std::string> lines;
    std::istringstream input(text);
    for (std::string line; std::getline(input, line);)
        lines.push_back(line);
    bool found = false;
    bool inSection = false;
    size_t insertAt = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string line = TrimmedIniText(lines[i]);
        if (!line.empty() && line.front() == '[' && line.back() == ']') {
            if (inSection)
                break;
            inSection = isSection(line.substr(1, line.size() - 2));
            found = found || inSection;
            insertAt = i + 1;
            continue;
        }
        if (!inSection || line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (SameIniName(TrimmedIniText(line.substr(0, line.find('='))), name)) {
            lines[i] = entry;
            insertAt = lines.size() + 1;  // replaced
            break;
        }
        insertAt = i + 1;
    }
    if (!found) {
        // Appended, so the text before stays byte for byte as it was.
        std::string appended = text;
        if (!appended.empty() && appended.back() != '\n')
            appended += '\n';
        return appended + '[' + header + "]\n" + entry + '\n';
    }
    if (insertAt <= lines.size())
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
    std::string joined;
    for (const std::string& line : lines)
        joined += line + '\n';
    return joined;
}
