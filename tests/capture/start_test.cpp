#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "display/present.h"
#include "display/screen.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/capture_session.h"

namespace fs = std::filesystem;

// Starting part-way: the show runs ahead unseen and must then show exactly
// the frames of a capture from the loading picture.

namespace {

const std::string PROGRAM = std::string(QUORVANE_BINARY_DIR) + "/quorvane-capture";

struct Frame {
    long long pass = 0;
    int part = 0;
    std::string hash;
};

// Runs the capture with args and a manifest; returns its frames by show ms
// (empty when it failed) and its standard error in err.
std::map<long long, Frame> captureFrames(const std::string& args, std::string& err)
{
    const fs::path dir = fs::temp_directory_path() / ("quorvane-start-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path manifest = dir / "manifest", errors = dir / "stderr";
    const std::string command = "'" + PROGRAM + "' --data '" QUORVANE_DATA_DIR "' --null --manifest '" +
                                manifest.string() + "' " + args + " >/dev/null 2>'" + errors.string() + "'";
    const int status = std::system(command.c_str());
    std::map<long long, Frame> frames;
    std::ifstream errIn(errors);
    err.assign(std::istreambuf_iterator<char>(errIn), {});
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return frames;
    std::ifstream in(manifest);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        long long index = 0, clock = 0;
        std::string show, part, hash;
        Frame f;
        if (!(words >> index >> f.pass >> clock >> show >> part >> hash) || show == "-") continue;
        f.part = std::stoi(part);
        f.hash = hash;
        frames[std::stoll(show)] = f;
    }
    fs::remove_all(dir);
    return frames;
}

}  // namespace

// At 20 frames a second to keep it short; the player runs ahead the same
// way at 60. The starts: the first frame of part 3, a time between two
// frames inside the medley, and a moment of the medley's end that presents
// nothing, where the screen keeps the show's last picture.
TEST(StartPartWay, RunningAheadShowsTheFramesOfACaptureFromTheBeginning)
{
    std::string err;
    const auto whole = captureFrames("--fps 20 --to 234.25", err);
    ASSERT_FALSE(whole.empty()) << err;
    long long partThree = -1;
    for (const auto& [ms, f] : whole)
        if (f.part == 3) {
            partThree = ms;
            break;
        }
    ASSERT_GT(partThree, 0);
    for (const long long start : {partThree, 222222LL, 234150LL}) {
        const std::string from = std::to_string(start / 1000) + "." + std::to_string(start % 1000 + 1000).substr(1);
        const auto part = captureFrames("--fps 20 --start " + from + " --to " + std::to_string(start / 1000 + 1), err);
        ASSERT_FALSE(part.empty()) << from << ": " << err;
        const auto first = whole.lower_bound(start);
        ASSERT_NE(first, whole.end());
        EXPECT_EQ(part.begin()->first, first->first) << "the first frame shown after " << from;
        for (const auto& [ms, f] : part) {
            const auto same = whole.find(ms);
            if (same == whole.end()) continue;   // past the whole capture's end
            EXPECT_EQ(f.hash, same->second.hash) << "start " << from << ", frame at " << ms;
            EXPECT_EQ(f.pass, same->second.pass) << "start " << from << ", frame at " << ms;
        }
    }
}

TEST(StartPartWay, BadStartTimesAreRefusedByName)
{
    const struct {
        const char* args;
        const char* message;
    } cases[] = {
        {"--start -5", "--start takes seconds of show time such as 12 or 12.5, not -5"},
        {"--start ten", "--start takes seconds of show time such as 12 or 12.5, not ten"},
        {"--start 250", "--start 250 lies at or after the end of the capture at 244.3 s"},
        {"--start 20 --to 10", "--to must be later than --start"},
    };
    for (const auto& c : cases) {
        std::string err;
        EXPECT_TRUE(captureFrames(c.args, err).empty()) << c.args;
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
    }
}

// The time readout is drawn only where the display shows it (the player's
// window): switched on, it still never reaches a capture's frames.
TEST(StartPartWay, TheReadoutNeverReachesACapturedFrame)
{
    CaptureOptions options;
    options.null = true;
    CaptureSession session(options);
    std::vector<std::uint32_t> seen;
    session.onFrame = [&](const FrameRecord&, const std::uint32_t* pixels) {
        seen.assign(pixels, pixels + PICTURE_PIXELS);
    };
    setDisplayDevice(&session.display());
    ASSERT_EQ(openDisplay("test", 512, 384), 1);
    session.clock().startTimers();
    std::snprintf(readoutText, sizeof readoutText, "01:40.000 PART 4 60 FPS");
    std::fill(frameBuffer, frameBuffer + PICTURE_PIXELS, 0x808080u);
    presentFrame(windowBuffer, frameBuffer, 512, 384, 512, 384, 0, 0);
    session.clock().endOfPass();
    readoutText[0] = 0;
    closeDisplay();
    setDisplayDevice(nullptr);
    ASSERT_EQ(seen.size(), static_cast<std::size_t>(PICTURE_PIXELS));
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 0x808080u), PICTURE_PIXELS);
}
