#include "tools/capture/capture_options.h"

#include <charconv>
#include <cstddef>
#include <cstdio>

#include "tools/capture/frame_outputs.h"

namespace {

bool parseInt(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end;
}

std::string secondsText(std::int64_t ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%03lld", static_cast<long long>(ms / 1000),
                  static_cast<long long>(ms % 1000));
    std::string shown = text;
    while (shown.back() == '0') shown.pop_back();
    if (shown.back() == '.') shown.pop_back();
    return shown;
}

}  // namespace

bool parseCaptureOptions(const std::vector<std::string>& args, CaptureOptions& options,
                         std::string& error)
{
    bool fromGiven = false, toGiven = false, everyGiven = false;
    std::string fromName = "--from";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string v;
        auto value = [&]() {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            v = args[++i];
            return true;
        };
        auto path = [&](std::string& out) {
            if (!value()) return false;
            if (v.empty()) {
                error = a + " needs a file name";
                return false;
            }
            out = v;
            return true;
        };
        auto seconds = [&](std::int64_t& out) {
            if (!value()) return false;
            if (!parseSeconds(v, out)) {
                error = a + " takes seconds of show time such as 12 or 12.5, not " + v;
                return false;
            }
            return true;
        };
        if (a == "--help" || a == "-h") {
            options.help = true;
        } else if (a == "--size") {
            if (!value()) return false;
            if (v != "1" && v != "2") {
                error = "--size takes 1 (512x384) or 2 (640x480), not " + v;
                return false;
            }
            options.sizeAnswer = v == "1" ? 1 : 2;
        } else if (a == "--fps") {
            if (!value()) return false;
            if (!parseInt(v, options.fps) || options.fps < 1 || options.fps > 1000) {
                error = "--fps takes a whole number from 1 to 1000, not " + v;
                return false;
            }
        } else if (a == "--from" || a == "--start") {
            if (!seconds(options.fromMs)) return false;
            fromGiven = true;
            fromName = a;
        } else if (a == "--to") {
            if (!seconds(options.toMs)) return false;
            toGiven = true;
        } else if (a == "--every") {
            if (!seconds(options.everyMs)) return false;
            if (options.everyMs == 0) {
                error = "--every needs a time above 0";
                return false;
            }
            everyGiven = true;
        } else if (a == "--video") {
            if (!path(options.video)) return false;
            if (!videoFormatOf(options.video)) {
                error = "--video makes " + videoExtensions() +
                        " files, chosen by the name's extension; " + options.video + " is none of them";
                return false;
            }
        } else if (a == "--frames") {
            if (!path(options.framesDir)) return false;
        } else if (a == "--contact-sheet") {
            if (!path(options.contactSheet)) return false;
        } else if (a == "--manifest") {
            if (!path(options.manifest)) return false;
        } else if (a == "--data") {
            if (!path(options.dataDir)) return false;
        } else if (a == "--y4m") {
            options.y4m = true;
        } else if (a == "--null") {
            options.null = true;
        } else if (a == "--stats") {
            options.stats = true;
        } else {
            error = "unknown option " + a + " (see --help)";
            return false;
        }
    }
    if (options.help) return true;
    if (fromGiven && options.toMs <= options.fromMs) {
        if (toGiven) {
            error = "--to must be later than " + fromName;
        } else {
            error = fromName + " " + secondsText(options.fromMs) + " lies at or after the end of the capture at " +
                    secondsText(options.toMs) + " s: the show ends at " + secondsText(SHOW_END_MS) +
                    " s and its closing picture is kept for " + secondsText(CLOSING_HOLD_MS) +
                    " s; give a later --to to capture more of it";
        }
        return false;
    }
    if (everyGiven) {
        const std::int64_t first = fromGiven ? options.fromMs : 0;
        if (options.contactSheet.empty()) {
            error = "--every spaces the thumbnails of a contact sheet; give --contact-sheet too";
            return false;
        }
        if (first + options.everyMs >= options.toMs) {
            error = "--every " + secondsText(options.everyMs) + " leaves one thumbnail: after the first, at " +
                    secondsText(first) + " s, the next would fall at " +
                    secondsText(first + options.everyMs) + " s, not before the end of the capture at " +
                    secondsText(options.toMs) + " s";
            return false;
        }
    }
    if (options.video.empty() && options.framesDir.empty() && !options.y4m &&
        options.contactSheet.empty() && !options.null && options.manifest.empty()) {
        error = "no output: give --video, --frames, --y4m, --contact-sheet, --manifest or --null";
        return false;
    }
    return true;
}

const char* captureUsage()
{
    return "usage: quorvane-capture [options] OUTPUT...\n"
           "Plays the show on a virtual clock, without a screen or a sound card, and\n"
           "writes its frames. Every output sees the same frames; several may be given.\n"
           "Times are seconds of show time (the music clock); the loading picture and\n"
           "its fade come before 0. A file appears only when complete, replacing a\n"
           "file of that name; a FIFO or a character device is written to at the end,\n"
           "and a symbolic link is followed to what it names.\n"
           "\n"
           "Outputs:\n"
           "  --video FILE            video with the song as its sound (needs ffmpeg); the\n"
           "                          extension chooses: .mp4, .mov or .mkv (H.264, AAC),\n"
           "                          .webm (VP9, Opus)\n"
           "  --frames DIR            numbered PNG frames and sound.wav, exactly as long\n"
           "  --y4m                   a YUV4MPEG2 stream (4:2:0) on standard output\n"
           "  --contact-sheet FILE    a PNG of thumbnails, each labelled with time and part\n"
           "  --every S               thumbnail spacing in seconds (default 10)\n"
           "  --manifest FILE         one hash per frame, with the options that shape them\n"
           "  --null                  render only, for measuring\n"
           "\n"
           "Shaping the frames:\n"
           "  --size 1|2              512x384 (default), or 640x480 in a black border\n"
           "  --fps N                 frames per second of virtual time, 1 to 1000 (default 60)\n"
           "  --from S, --start S     first show time written (default: the loading\n"
           "                          picture); the show runs ahead to it as the player's\n"
           "                          --start does, every earlier frame drawn but not shown\n"
           "  --to S                  end before this show time (default 244.3: the end of\n"
           "                          the show and 10 s of the closing picture)\n"
           "  --data DIR              the data directory\n"
           "\n"
           "  --stats                 frames per second and frame times per part\n"
           "  --help                  this text\n"
           "\n"
           "The last line printed is \"hash: \" and 16 hexadecimal digits, a hash of every\n"
           "frame written; with --y4m it goes to standard error.\n";
}
