#include "tools/capture/capture_options.h"

#include <charconv>
#include <cstddef>

namespace {

bool parseInt(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && ptr == end;
}

// Seconds beyond this are refused so that milliseconds stay far inside the
// 32-bit music clock.
constexpr std::int64_t MAX_SECONDS = 1000000;

}  // namespace

bool parseSeconds(const std::string& text, std::int64_t& ms)
{
    std::int64_t whole = 0;
    std::size_t i = 0;
    int digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        whole = whole * 10 + (text[i] - '0');
        if (whole > MAX_SECONDS) return false;
    }
    std::int64_t fraction = 0;
    int decimals = 0;
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++decimals) {
            if (decimals == 3) return false;
            fraction = fraction * 10 + (text[i] - '0');
        }
        if (decimals == 0) return false;
    }
    if (i != text.size() || digits == 0) return false;
    for (int d = decimals; d < 3; ++d) fraction *= 10;
    ms = whole * 1000 + fraction;
    return true;
}

bool parseCaptureOptions(const std::vector<std::string>& args, CaptureOptions& options,
                         std::string& error)
{
    bool fromGiven = false;
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
        } else if (a == "--from") {
            if (!seconds(options.fromMs)) return false;
            fromGiven = true;
        } else if (a == "--to") {
            if (!seconds(options.toMs)) return false;
        } else if (a == "--every") {
            if (!seconds(options.everyMs)) return false;
            if (options.everyMs == 0) {
                error = "--every needs a time above 0";
                return false;
            }
        } else if (a == "--video") {
            if (!path(options.video)) return false;
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
        error = "--to must be later than --from";
        return false;
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
           "its fade come before 0.\n"
           "\n"
           "Outputs:\n"
           "  --video FILE.mp4        H.264 video with the song as its sound (needs ffmpeg)\n"
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
           "  --from S                first show time written (default: the loading picture);\n"
           "                          earlier frames are rendered but not written\n"
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
