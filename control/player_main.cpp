#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "control/options.h"
#include "control/sdl_sound.h"
#include "control/startup.h"
#include "control/timer.h"
#include "display/sdl_display.h"
#include "image/picture.h"

int main(int argc, char** argv)
{
    PlayerOptions options;
    std::string error;
    if (!parsePlayerOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "quorvane: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(playerUsage(), stdout);
        return 0;
    }
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string();
    const std::string dataDir = findDataDirectory(options.dataDir, exe, error);
    if (dataDir.empty()) {
        std::fprintf(stderr, "quorvane: %s\n", error.c_str());
        return 1;
    }
    setDataDirectory(dataDir);

    SdlDisplayOptions display;
    display.fullscreen = options.fullscreen;
    display.vsync = options.vsync;
    display.pixelFormat = options.pixelFormat;
    display.scale = options.scale;
    ShowPlatform platform;
    platform.display = createSdlDisplay(display);
    platform.sound = createSdlSound(options.audioOffsetMs);
    platform.clock = createTimerThreadClock();
    return runShow(options.show, platform);
}
