#include "tests/capture/capture_support.h"

#include <unistd.h>

#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

fs::path freshDirectory(const std::string& name)
{
    const fs::path dir =
        fs::temp_directory_path() / ("quorvane-capture-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
