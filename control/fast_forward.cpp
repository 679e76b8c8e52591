#include "control/fast_forward.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "display/pixel.h"
#include "display/present.h"

namespace {

// Seconds beyond this are refused so that milliseconds stay far inside the
// 32-bit music clock.
constexpr std::int64_t MAX_SECONDS = 1000000;

using Clock = std::chrono::steady_clock;

struct RunAhead {
    bool console = false;
    std::int64_t startMs = 0;
    Clock::time_point began, lastLine;
};
RunAhead runAhead;

double secondsSince(Clock::time_point t)
{
    return std::chrono::duration<double>(Clock::now() - t).count();
}

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

bool parseStartTime(const std::string& option, const std::string& text, std::int64_t& ms,
                    std::string& error)
{
    std::int64_t value = 0;
    if (!parseSeconds(text, value) || value > LAST_START_MS) {
        error = option + " takes seconds of show time from 0 to 244.3 (the show ends at 234.3 s "
                         "and its closing picture has darkened 10 s later), such as 100 or 12.5, not " +
                text;
        return false;
    }
    ms = value;
    return true;
}

std::string showTimeText(std::int64_t ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld.%03lld", static_cast<long long>(ms / 60000),
                  static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
    return text;
}

void beginRunAhead(std::int64_t startMs)
{
    runAhead.console = isatty(STDERR_FILENO) != 0;
    runAhead.startMs = startMs;
    runAhead.began = Clock::now();
    runAhead.lastLine = runAhead.began - std::chrono::seconds(1);
}

void showRunAhead(std::int64_t nowMs)
{
    if (!runAhead.console) return;
    const Clock::time_point now = Clock::now();
    if (now - runAhead.lastLine < std::chrono::milliseconds(250)) return;
    runAhead.lastLine = now;
    const std::int64_t shown = nowMs < 0 ? 0 : nowMs;
    const int percent =
        runAhead.startMs > 0 ? static_cast<int>(shown * 100 / runAhead.startMs) : 100;
    std::fprintf(stderr, "\rquorvane: running ahead to %s: at %s (%d%%)\033[K",
                 showTimeText(runAhead.startMs).c_str(), showTimeText(shown).c_str(), percent);
    std::fflush(stderr);
}

void finishRunAhead(std::int64_t reachedMs)
{
    if (!runAhead.console) return;
    std::fprintf(stderr, "\rquorvane: at %s after %.2f s running ahead\033[K\n",
                 showTimeText(reachedMs).c_str(), secondsSince(runAhead.began));
    std::fflush(stderr);
}

void writeStartPicture()
{
    const char* path = std::getenv("QUORVANE_START_PICTURE");
    if (!path || !*path) return;
    const int width = displayWidth, height = displayHeight;
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < rgb.size() / 3; ++i) {
        const std::uint32_t p = retainedPicture[i];
        rgb[3 * i] = static_cast<unsigned char>(redOf(p));
        rgb[3 * i + 1] = static_cast<unsigned char>(greenOf(p));
        rgb[3 * i + 2] = static_cast<unsigned char>(blueOf(p));
    }
    std::FILE* file = std::fopen(path, "wb");
    const bool ok = file && std::fprintf(file, "P6\n%d %d\n255\n", width, height) > 0 &&
                    std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
    if (!file || std::fclose(file) != 0 || !ok)
        std::fprintf(stderr, "quorvane: cannot write the start picture to %s\n", path);
}
