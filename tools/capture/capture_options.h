#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "control/fast_forward.h"

// The capture's command line. Times are milliseconds of show time: the music
// clock, 0 at the first frame of the first part. The loading picture and its
// fade come before 0.

// SHOW_END_MS, CLOSING_HOLD_MS (how much of the closing picture a capture
// keeps by default) and NO_START_MS (--from not given: from the loading
// picture) are the show's, in control/fast_forward.h.

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

// The --help text.
const char* captureUsage();
