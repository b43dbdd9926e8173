#pragma once

// A folder a fuzzed TFTP server serves, laid out anew for every input, inside a few levels of
// folders of its own with files and links that lead out of it: whatever a peer sends, nothing
// outside the served folder may change. Any change there stops the fuzzer (abort), with
// the path that changed.
#include "ScratchFolder.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

class ServedFolder {
public:
    ServedFolder()
    {
        namespace fs = std::filesystem;
        m_base = ScratchFolder() / ("vta-fuzz-tftp-" + std::to_string(getpid()));
        fs::remove_all(m_base);
        m_served = m_base / "a" / "b" / "served";
        fs::create_directories(m_served);
        fs::create_directories(m_base / "elsewhere");
        put(m_base / "elsewhere" / "secret.cfg", std::string(700, 's'));
        put(m_base / "a" / "outside.cfg", "outside");
        m_outside = listing();
    }
    // An abort skips this: the folders stay for a look at what changed.
    ~ServedFolder() { std::filesystem::remove_all(m_base); }

    QString root() const { return QString::fromStdString(m_served.string()); }

    // The served folder as every input finds it: files of one, one and several blocks, a
    // folder, and links that lead out of the folder (to a file, to a folder).
    void reset()
    {
        namespace fs = std::filesystem;
        std::error_code ignored;
        fs::remove_all(m_served, ignored);
        fs::create_directories(m_served / "sub");
        put(m_served / "small.cfg", "[config]\nname=ap\n");
        put(m_served / "block.bin", std::string(512, 'b'));
        put(m_served / "image.tfp", std::string(1300, 'i'));
        put(m_served / "sub" / "inner.cfg", "inner");
        fs::create_symlink(m_base / "elsewhere" / "secret.cfg", m_served / "link.cfg", ignored);
        fs::create_directory_symlink(m_base / "elsewhere", m_served / "out", ignored);
    }

    // Stops the fuzzer when anything outside the served folder changed.
    void checkOutsideUnchanged() const
    {
        const auto now = listing();
        if (now == m_outside)
            return;
        for (const auto& [path, state] : now) {
            const auto before = m_outside.find(path);
            if (before == m_outside.end() || before->second != state)
                std::fprintf(stderr, "written outside the served folder: %s\n", path.c_str());
        }
        for (const auto& [path, state] : m_outside)
            if (!now.count(path))
                std::fprintf(stderr, "removed outside the served folder: %s\n", path.c_str());
        std::abort();
    }

private:
    static void put(const std::filesystem::path& path, const std::string& content)
    {
        std::ofstream(path, std::ios::binary) << content;
    }

    // Every path under the base but the served folder, with a file's size and change time.
    std::map<std::string, std::string> listing() const
    {
        namespace fs = std::filesystem;
        std::map<std::string, std::string> result;
        for (auto it = fs::recursive_directory_iterator(m_base); it != fs::recursive_directory_iterator(); ++it) {
            if (it->path() == m_served) {
                it.disable_recursion_pending();
                continue;
            }
            // A folder changes with what is in it (the served folder is laid anew each time):
            // its entries are listed themselves.
            std::error_code error;
            if (it->is_directory(error) && !it->is_symlink(error)) {
                result[it->path().string()] = "folder";
                continue;
            }
            const auto size = it->is_regular_file(error) ? it->file_size(error) : 0;
            const auto changed = fs::last_write_time(it->path(), error).time_since_epoch().count();
            result[it->path().string()] = std::to_string(size) + " " + std::to_string(changed);
        }
        return result;
    }

    std::filesystem::path m_base;
    std::filesystem::path m_served;
    std::map<std::string, std::string> m_outside;
};
