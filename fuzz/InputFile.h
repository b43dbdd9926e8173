#pragma once

// The fuzzer's bytes as a file, for the readers that take a path: one file of this process's
// own, written anew for every input and removed at exit.
#include "ScratchFolder.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

class InputFile {
public:
    explicit InputFile(const std::string& name)
    {
        m_folder = ScratchFolder() / ("vta-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
        m_path = (m_folder / name).string();
    }
    ~InputFile() { std::filesystem::remove_all(m_folder); }

    const std::string& write(const uint8_t* data, size_t size)
    {
        if (FILE* file = std::fopen(m_path.c_str(), "wb")) {
            std::fwrite(data, 1, size, file);
            std::fclose(file);
        }
        return m_path;
    }
    const std::string& path() const { return m_path; }
    std::string folder() const { return m_folder.string() + "/"; }

private:
    std::filesystem::path m_folder;
    std::string m_path;
};
