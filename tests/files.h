// File helpers shared by the test programs.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// An empty folder of this process's own under the temporary directory.
inline std::filesystem::path freshDirectory(const std::string& name)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("quorvane-" + std::to_string(getpid()) + "-" + name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// A whole file's bytes; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
