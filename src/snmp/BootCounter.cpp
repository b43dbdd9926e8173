#include "snmp/BootCounter.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace BootCounter {

namespace {

bool splitLine(const std::string& line, std::string& engine, std::string& count)
{
    const auto space = line.find_last_of(' ');
    if (space == std::string::npos || space == 0)
        return false;
    engine = line.substr(0, space);
    count = line.substr(space + 1);
    return true;
}

} // namespace

int load(const std::string& path, const std::string& engineId, unsigned& boots)
{
    boots = 0;
    std::ifstream file(path);
    if (!file)
        return kCannotOpen;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        std::string engine, count;
        if (!splitLine(line, engine, count))
            return kBadFile;
        if (engine != engineId)
            continue;
        try {
            size_t used = 0;
            const unsigned long value = std::stoul(count, &used);
            if (used != count.size() || value > 0x7FFFFFFFUL)
                return kBadFile;
            boots = static_cast<unsigned>(value);
            return kFound;
        } catch (const std::exception&) {
            return kBadFile;
        }
    }
    return kEngineNotInFile;
}

int save(const std::string& path, const std::string& engineId, unsigned boots)
{
    // A count file the user made read-only stays untouched, although renaming over it would work.
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0)
        return -1;
    std::vector<std::string> kept;
    {
        std::ifstream file(path);
        std::string line, engine, count;
        while (std::getline(file, line))
            if (splitLine(line, engine, count) && engine != engineId)
                kept.push_back(line);
    }
    const std::string temporary = path + ".new";
    {
        std::ofstream file(temporary, std::ios::trunc);
        if (!file)
            return -1;
        for (const std::string& line : kept)
            file << line << '\n';
        file << engineId << ' ' << boots << '\n';
        if (!file.flush())
            return -1;
    }
    // Replace in one step: a crash mid-write must not lose the count.
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return -1;
    }
    return 0;
}

} // namespace BootCounter
