#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/assets/assets.h"

int main(int argc, char** argv)
{
    const char* usage = "usage: quorvane-assets DATA_DIR\n"
                        "Writes the show's data set (objects/, gfx/, song.mp3) into DATA_DIR.\n";
    // Asked for, the usage is the output; given wrong arguments, it is the error.
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (argc != 2) {
        std::fputs(usage, stderr);
        return 2;
    }
    const std::string dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir + "/gfx", error);
    std::filesystem::create_directories(dir + "/objects", error);
    if (error) {
        std::fprintf(stderr, "quorvane-assets: cannot create %s: %s\n", dir.c_str(),
                     error.message().c_str());
        return 1;
    }
    if (!writePictures(dir) || !writeScenes(dir) || !writeSong(dir)) return 1;
    return 0;
}
