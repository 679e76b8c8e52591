#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "control/clock.h"
#include "display/present.h"
#include "display/screen.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/capture_session.h"

namespace {

struct Seen {
    FrameRecord record;
    std::uint32_t topLeft;
};

class CaptureSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetPartClocks();
        setTicks(musicTimeMs, 0);
        soundChoice = 1;
        currentPart = 0;
        options.null = true;
        options.toMs = 1000;
    }
    void TearDown() override
    {
        closeDisplay();
        setDisplayDevice(nullptr);
        soundChoice = 0;
        currentPart = 0;
    }
    // Opens the session's display and starts its clock.
    void start(CaptureSession& session)
    {
        setDisplayDevice(&session.display());
        ASSERT_EQ(openDisplay("test", 512, 384), 1);
        session.clock().startTimers();
    }
    void show(std::uint32_t colour)
    {
        std::fill(frameBuffer, frameBuffer + PICTURE_PIXELS, colour);
        presentFrame(windowBuffer, frameBuffer, 512, 384, 512, 384, 0, 0);
    }

    CaptureOptions options;
};

TEST_F(CaptureSessionTest, OneFramePerPassRepeatingThePictureOnScreen)
{
    CaptureSession session(options);
    std::vector<Seen> seen;
    session.onFrame = [&](const FrameRecord& r, const std::uint32_t* pixels) {
        seen.push_back({r, pixels[0]});
    };
    start(session);

    show(0x112233);
    session.clock().endOfPass();
    session.clock().endOfPass();   // nothing presented: the same picture again
    show(0x445566);
    show(0x778899);       // two presents: the last one counts
    session.clock().endOfPass();

    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].topLeft, 0x112233u);
    EXPECT_EQ(seen[1].topLeft, 0x112233u);
    EXPECT_EQ(seen[2].topLeft, 0x778899u);
    EXPECT_EQ(seen[0].record.hash, seen[1].record.hash);
    EXPECT_NE(seen[1].record.hash, seen[2].record.hash);
    const std::int64_t clockMs[] = {0, 16, 33};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(seen[i].record.pass, i);
        EXPECT_EQ(seen[i].record.clockMs, clockMs[i]);
        EXPECT_TRUE(seen[i].record.loading);   // Escape was never polled
        EXPECT_TRUE(seen[i].record.written);   // no --from: the loading picture is written
    }
    EXPECT_EQ(session.framesWritten(), 3);
}

TEST_F(CaptureSessionTest, TimelineFramesCarryTheMusicClockPartAndEnd)
{
    options.fromMs = 100;
    CaptureSession session(options);
    std::vector<FrameRecord> seen;
    session.onFrame = [&](const FrameRecord& r, const std::uint32_t*) { seen.push_back(r); };
    start(session);

    show(0x010101);
    session.clock().endOfPass();                      // a loading frame, before --from
    struct Step {
        int musicMs, partAfter;
        bool escape;
    };
    const Step steps[] = {{50, 0, false}, {100, 0, false}, {999, 1, false}, {1000, 1, true}};
    for (const Step& s : steps) {
        setTicks(musicTimeMs, s.musicMs);
        currentPart = s.partAfter;                    // the frame function handing over
        EXPECT_EQ(session.display().escapePressed(), s.escape) << s.musicMs;
        session.clock().endOfPass();
    }
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_FALSE(seen[0].written);
    const std::int64_t showMs[] = {50, 100, 999, 1000};
    const int part[] = {0, 0, 0, 1};   // the part that drew the frame, not the next one
    const bool written[] = {false, true, true, false};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(seen[i + 1].loading);
        EXPECT_EQ(seen[i + 1].showMs, showMs[i]);
        EXPECT_EQ(seen[i + 1].part, part[i]);
        EXPECT_EQ(seen[i + 1].written, written[i]);
    }
    EXPECT_EQ(session.framesWritten(), 2);
    EXPECT_EQ(session.framesRendered(), 5);
}

// The time readout is drawn only where the display shows it (the player's
// window): switched on, it still never reaches a capture's frames.
TEST_F(CaptureSessionTest, TheReadoutNeverReachesACapturedFrame)
{
    CaptureSession session(options);
    std::vector<std::uint32_t> seen;
    session.onFrame = [&](const FrameRecord&, const std::uint32_t* pixels) {
        seen.assign(pixels, pixels + PICTURE_PIXELS);
    };
    start(session);
    std::snprintf(readoutText, sizeof readoutText, "01:40.000 PART 4 60 FPS");
    show(0x808080);
    session.clock().endOfPass();
    readoutText[0] = 0;
    ASSERT_EQ(seen.size(), static_cast<std::size_t>(PICTURE_PIXELS));
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 0x808080u), PICTURE_PIXELS);
}

TEST(CaptureOptions, ValuesAndErrors)
{
    CaptureOptions o;
    std::string error;
    ASSERT_TRUE(parseCaptureOptions({"--size", "2", "--fps", "25", "--from", "1.005", "--to", "234.3",
                                     "--every", "0.25", "--contact-sheet", "s.png", "--y4m",
                                     "--video", "show.WebM"},
                                    o, error))
        << error;
    EXPECT_EQ(o.sizeAnswer, 2);
    EXPECT_EQ(o.fps, 25);
    EXPECT_EQ(o.fromMs, 1005);
    EXPECT_EQ(o.toMs, 234300);
    EXPECT_EQ(o.everyMs, 250);

    CaptureOptions d;
    ASSERT_TRUE(parseCaptureOptions({"--null"}, d, error));
    EXPECT_EQ(d.fps, 60);
    EXPECT_EQ(d.fromMs, NO_START_MS);
    EXPECT_EQ(d.toMs, 244300);

    struct Bad {
        std::vector<std::string> args;
        const char* mentions;
    };
    const Bad bad[] = {
        {{"--fps", "0", "--null"}, "--fps"},
        {{"--fps", "1001", "--null"}, "--fps"},
        {{"--fps", "6x", "--null"}, "--fps"},
        {{"--size", "3", "--null"}, "--size"},
        {{"--start", "-5", "--null"}, "--start takes seconds of show time such as 12 or 12.5, not -5"},
        {{"--start", "ten", "--null"}, "--start takes seconds of show time such as 12 or 12.5, not ten"},
        {{"--start", "5", "--to", "5", "--null"}, "--to must be later than --start"},
        {{"--every", "0", "--null"}, "--every"},
        {{"--to", ".5", "--null"}, "--to takes seconds"},
        {{"--to", "5.", "--null"}, "--to takes seconds"},
        {{"--to", "1e3", "--null"}, "--to takes seconds"},
        {{"--to", "+1", "--null"}, "--to takes seconds"},
        {{"--to", "", "--null"}, "--to takes seconds"},
        {{"--video"}, "--video"},
        {{"--video", "out.avi"}, ".mp4, .mov, .mkv or .webm"},
        {{"--start", "250", "--null"}, "--start 250 lies at or after the end of the capture at 244.3 s"},
        {{"--every", "5", "--null"}, "--contact-sheet"},
        {{"--from", "240", "--every", "5", "--contact-sheet", "s.png"},
         "the next would fall at 245 s, not before the end of the capture at 244.3 s"},
        {{"--fps", "30"}, "no output"},
        {{"--sound", "--null"}, "--sound"},
    };
    for (const Bad& b : bad) {
        CaptureOptions x;
        error.clear();
        EXPECT_FALSE(parseCaptureOptions(b.args, x, error)) << b.args[0];
        EXPECT_NE(error.find(b.mentions), std::string::npos) << error;
    }
}

}  // namespace
