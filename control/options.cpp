#include "control/options.h"

#include <charconv>
#include <cstddef>
#include <filesystem>

#include "control/fast_forward.h"
#include "display/sdl_display.h"

namespace {

bool parseInt(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

}  // namespace

bool parsePlayerOptions(const std::vector<std::string>& args, PlayerOptions& options,
                        std::string& error)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            options.help = true;
        } else if (a == "--size") {
            if (!value(v)) return false;
            if (v != "1" && v != "2") {
                error = "--size takes 1 (512x384) or 2 (640x480), not " + v;
                return false;
            }
            options.show.sizeAnswer = v == "1" ? 1 : 2;
        } else if (a == "--sound") {
            options.show.soundAnswer = 1;
        } else if (a == "--nosound") {
            options.show.soundAnswer = 2;
        } else if (a == "--window") {
            options.fullscreen = false;
        } else if (a == "--fullscreen") {
            options.fullscreen = true;
        } else if (a == "--no-vsync") {
            options.vsync = false;
        } else if (a == "--scale") {
            if (!value(v)) return false;
            if (v != "integer" && v != "fit") {
                error = "--scale takes integer or fit, not " + v;
                return false;
            }
            options.scale = v == "integer" ? ScaleMode::Integer : ScaleMode::Fit;
        } else if (a == "--pixel-format") {
            if (!value(v)) return false;
            if (!isSdlFormatName(v)) {
                error = "--pixel-format takes rgb32, bgr32, rgb24, bgr24, rgb565, bgr565, rgb555 or bgr555, not " + v;
                return false;
            }
            options.pixelFormat = v;
        } else if (a == "--data") {
            if (!value(options.dataDir)) return false;
        } else if (a == "--start") {
            if (!value(v)) return false;
            if (!parseStartTime(a, v, options.show.startMs, error)) return false;
        } else if (a == "--audio-offset") {
            if (!value(v)) return false;
            if (!parseInt(v, options.audioOffsetMs)) {
                error = "--audio-offset takes a whole number of milliseconds, not " + v;
                return false;
            }
        } else {
            error = "unknown option " + a + " (see --help)";
            return false;
        }
    }
    return true;
}

const char* playerUsage()
{
    return "usage: quorvane [options]\n"
           "Plays the show. Without options it asks for the picture size and for sound\n"
           "on the console and plays full screen; Escape ends it.\n"
           "\n"
           "  --size 1|2            1: 512x384, 2: 640x480 with a black border\n"
           "  --sound, --nosound    play with or without the music\n"
           "  --window              in a window (Alt+Enter switches at any time)\n"
           "  --fullscreen          full screen (the default)\n"
           "  --no-vsync            do not wait for the vertical retrace\n"
           "  --scale integer|fit   enlarge by whole numbers only, or to the largest\n"
           "                        size that fits (default: whole numbers unless that\n"
           "                        leaves over a quarter of the screen's height empty)\n"
           "  --pixel-format NAME   force the display format: rgb32 bgr32 rgb24 bgr24\n"
           "                        rgb565 bgr565 rgb555 bgr555\n"
           "  --audio-offset MS     draw the pictures MS ms ahead of the sound, for a\n"
           "                        display that lags (negative: behind)\n"
           "  --start S             start at S seconds of show time (0 to 244.3): the\n"
           "                        show runs ahead to it unseen, then plays on from there\n"
           "  --data DIR            the data directory (default: data/ here, else\n"
           "                        beside the program)\n"
           "  --help                this text\n"
           "\n"
           "Keys while the show plays:\n"
           "  Escape                end the show\n"
           "  Space                 pause and resume (the music too)\n"
           "  Right arrow or .      while paused: one frame (1/60 s) further\n"
           "  T                     show or hide the time readout: show time, part and\n"
           "                        frames per second, in the top-left corner\n"
           "  Alt+Enter             full screen or a window\n"
           "\n"
           "QUORVANE_START_PICTURE=FILE in the environment writes the first picture shown\n"
           "after --start to FILE (binary PPM).\n";
}

std::string findDataDirectory(const std::string& given, const std::string& executableDir,
                              std::string& error)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!given.empty()) {
        if (fs::is_directory(given, ec)) return given;
        error = "no data directory at " + given;
        return {};
    }
    // Run from the program's own folder, the two places are one: name it once.
    const fs::path here = (fs::current_path(ec) / "data").lexically_normal();
    if (fs::is_directory(here, ec)) return here.string();
    const fs::path beside = (fs::absolute(executableDir, ec) / "data").lexically_normal();
    if (fs::is_directory(beside, ec)) return beside.string();
    const std::string places =
        here == beside ? here.string() : here.string() + " and " + beside.string();
    error = "no data directory: looked for " + places +
            " (build it, or give one with --data DIR)";
    return {};
}
