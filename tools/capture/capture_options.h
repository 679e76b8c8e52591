#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The capture's command line. Times are milliseconds of show time: the music
// clock, 0 at the first frame of the first part. The loading picture and its
// fade come before 0.

constexpr std::int64_t SHOW_END_MS = 234300;         // the closing picture starts
constexpr std::int64_t CLOSING_HOLD_MS = 10000;      // how much of it a capture keeps
constexpr std::int64_t NO_START_MS = -1;             // --from not given: from the loading picture

struct CaptureOptions {
    int sizeAnswer = 1;                    // 1: 512x384, 2: 640x480 in a black border
    int fps = 60;                          // 1..1000
    std::int64_t fromMs = NO_START_MS;     // first show time written
    std::int64_t toMs = SHOW_END_MS + CLOSING_HOLD_MS;   // frames at this time or later are not
    std::string video;                     // .mp4, .mov, .mkv or .webm through ffmpeg
    std::string framesDir;                 // numbered PNGs and sound.wav
    bool y4m = false;                      // Y4M on standard output
    std::string contactSheet;              // PNG
    std::int64_t everyMs = 10000;          // thumbnail spacing on the contact sheet
    bool null = false;                     // render only
    std::string manifest;
    std::string dataDir;
    bool stats = false;                    // per-part frame times at the end
    bool help = false;
};

// Parses args (without the program name). On a bad or missing value returns
// false with a one-line reason naming the option in error. At least one
// output (or --null) is required, unless --help is given.
bool parseCaptureOptions(const std::vector<std::string>& args, CaptureOptions& options,
                         std::string& error);

// Reads seconds such as "12", "0.5" or "234.3" as whole milliseconds; no sign,
// no exponent, at most three decimals. False for anything else.
bool parseSeconds(const std::string& text, std::int64_t& ms);

// The --help text.
const char* captureUsage();
