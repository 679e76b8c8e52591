#pragma once
#include <string>
#include <vector>

#include "control/startup.h"
#include "display/scale.h"

// The player's command line. Everything is optional: without arguments the
// show asks its two questions and plays full screen.
struct PlayerOptions {
    ShowOptions show;
    bool fullscreen = true;
    bool vsync = true;
    ScaleMode scale = ScaleMode::Automatic;
    std::string pixelFormat;
    std::string dataDir;       // empty: found as data/ here or beside the program
    int audioOffsetMs = 0;
    bool help = false;
};

// Parses args (without the program name). On a bad argument returns false
// with a one-line reason in error.
bool parsePlayerOptions(const std::vector<std::string>& args, PlayerOptions& options,
                        std::string& error);

// The --help text.
const char* playerUsage();

// The data directory: the given one, else data/ under the working
// directory, else data/ beside the executable. Empty with error naming the
// places looked at when none exists.
std::string findDataDirectory(const std::string& given, const std::string& executableDir,
                              std::string& error);
