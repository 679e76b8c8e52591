#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "tests/capture/capture_support.h"

// Starting part-way: the show runs ahead unseen and must then show exactly
// the frames of a capture from the loading picture.

namespace {

class StartPartWay : public CaptureProgramTest {
protected:
    // The show's frames of a capture with args, by show time; none when it failed.
    std::map<long long, ManifestFrame> showFrames(const std::string& args)
    {
        const CaptureRun run = capture("--null --manifest m.txt " + args);
        EXPECT_EQ(run.status, 0) << args << ": " << run.err;
        std::map<long long, ManifestFrame> frames;
        for (const ManifestFrame& f : manifestFrames(readFile(dir / "m.txt")))
            if (run.status == 0 && f.showMs >= 0) frames[f.showMs] = f;
        return frames;
    }
};

// At 20 frames a second to keep it short; the player runs ahead the same
// way at 60. The starts: the first frame of part 3, a time between two
// frames inside the medley, and a moment of the medley's end that presents
// nothing, where the screen keeps the show's last picture.
TEST_F(StartPartWay, RunningAheadShowsTheFramesOfACaptureFromTheBeginning)
{
    const auto whole = showFrames("--fps 20 --to 234.25");
    ASSERT_FALSE(whole.empty());
    long long partThree = -1;
    for (const auto& [ms, f] : whole)
        if (f.part == 3) {
            partThree = ms;
            break;
        }
    ASSERT_GT(partThree, 0);
    for (const long long start : {partThree, 222222LL, 234150LL}) {
        const std::string from = std::to_string(start / 1000) + "." + std::to_string(start % 1000 + 1000).substr(1);
        const auto part = showFrames("--fps 20 --start " + from + " --to " + std::to_string(start / 1000 + 1));
        ASSERT_FALSE(part.empty()) << from;
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

}  // namespace
