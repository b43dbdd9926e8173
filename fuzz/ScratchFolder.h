#pragma once

#include <filesystem>
#include <unistd.h>

// Where the targets put the files they work on: memory (/dev/shm) where there is one, since a
// target creates and removes files for every input; the temporary folder otherwise.
inline std::filesystem::path ScratchFolder()
{
    const std::filesystem::path memory("/dev/shm");
    std::error_code error;
    if (std::filesystem::is_directory(memory, error) && access(memory.c_str(), W_OK) == 0)
        return memory;
    return std::filesystem::temp_directory_path();
}
