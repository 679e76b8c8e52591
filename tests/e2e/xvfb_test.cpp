#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/process_support.h"

namespace {

const std::string PLAYER = QUORVANE_BINARY_DIR "/quorvane";
constexpr int SCREEN_W = 1024;
constexpr int SCREEN_H = 768;

// Where the 512x384 picture lands on the screen: its top-left corner and
// the whole factor each pixel is repeated by.
struct Placement {
    int left, top, factor;
};

// The 640x480 window, answered on the console, sits in the screen's middle
// at its own size; the picture sits 64,48 inside it.
const Placement BORDERED = {(SCREEN_W - 640) / 2 + 64, (SCREEN_H - 480) / 2 + 48, 1};
// The 512x384 window doubled fills the 1024x768 screen.
const Placement DOUBLED = {0, 0, 2};

// An X server of its own for each test, on a display number no one uses.
class XvfbScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!haveProgram("Xvfb") || !haveProgram("import") || !haveProgram("xdotool"))
            GTEST_SKIP() << "Xvfb, ImageMagick or xdotool missing";
        // Xvfb picks a free display number itself and writes it to its output.
        server = startProcess("Xvfb", {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, "");
        for (int i = 0; i < 100; ++i) {
            std::ifstream out(server.outPath);
            int number = -1;
            if (out >> number) {
                // Built with snprintf: GCC 12 misreads ":" + std::to_string as an overlap.
                char name[16];
                std::snprintf(name, sizeof name, ":%d", number);
                display = name;
                if (runShell("xdpyinfo -display " + display + " >/dev/null 2>&1")) return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        FAIL() << "Xvfb did not start on " << display;
    }

    void TearDown() override
    {
        if (server.pid > 0) {
            runShell("kill " + std::to_string(server.pid));
            waitProcess(server, 5);
        }
    }

    // Plays with the given arguments and answers, waits until the show's
    // picture is lit where the placement puts it, with everything around it
    // black and every screen pixel of one picture pixel alike, then ends the
    // show with Escape. The show moves on by real time, so the picture's
    // content is not compared; tolerance is how far a channel may stray (the
    // 16-bit formats keep 5 or 6 bits). playSeconds more of the show are
    // played before Escape.
    void playAndCheck(std::vector<std::string> args, const std::string& answers, std::vector<std::string> env,
                      Placement at, int tolerance, int playSeconds = 0)
    {
        args.insert(args.begin(), {"--data", QUORVANE_DATA_DIR});
        env.insert(env.begin(), {"DISPLAY=" + display, "SDL_AUDIODRIVER=dummy"});
        RunningProcess player = startProcess(PLAYER, args, answers, env);
        const int right = at.left + 512 * at.factor, bottom = at.top + 384 * at.factor;
        auto pixel = [](const std::string& shot, int x, int y) {
            return reinterpret_cast<const unsigned char*>(&shot[(static_cast<std::size_t>(y) * SCREEN_W + x) * 3]);
        };
        // Border pixels that are not black, pixels that differ from the
        // top-left one of their block, plus the whole picture's count while
        // fewer than half of its pixels are lit. A screenshot may catch the
        // fade-in or a frame half way onto the screen, so the screen is
        // looked at until it is right, for up to 30 s.
        auto wrongPixels = [&](const std::string& shot) {
            if (shot.size() != SCREEN_W * SCREEN_H * 3) return SCREEN_W * SCREEN_H;
            int wrong = 0, lit = 0;
            for (int y = 0; y < SCREEN_H; ++y)
                for (int x = 0; x < SCREEN_W; ++x) {
                    const unsigned char* s = pixel(shot, x, y);
                    const bool inside = x >= at.left && y >= at.top && x < right && y < bottom;
                    if (!inside) {
                        wrong += std::max({int(s[0]), int(s[1]), int(s[2])}) > tolerance;
                        continue;
                    }
                    const int bx = at.left + (x - at.left) / at.factor * at.factor;
                    const int by = at.top + (y - at.top) / at.factor * at.factor;
                    const unsigned char* b = pixel(shot, bx, by);
                    wrong += std::abs(s[0] - b[0]) > tolerance || std::abs(s[1] - b[1]) > tolerance ||
                             std::abs(s[2] - b[2]) > tolerance;
                    lit += std::max({int(s[0]), int(s[1]), int(s[2])}) > 2 * tolerance + 8;
                }
            const int pictureArea = 512 * 384 * at.factor * at.factor;
            return lit < pictureArea / 2 ? wrong + pictureArea : wrong;
        };
        const std::string shot = "/tmp/quorvane_e2e_shot_" + std::to_string(getpid()) + ".rgb";
        int wrong = SCREEN_W * SCREEN_H;
        for (int i = 0; i < 60 && wrong != 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            runShell("import -display " + display + " -window root -depth 8 rgb:" + shot + " 2>/dev/null");
            wrong = wrongPixels(readFile(shot));
        }
        std::remove(shot.c_str());
        EXPECT_EQ(wrong, 0) << "the picture is not lit in its place in a black border";
        std::this_thread::sleep_for(std::chrono::seconds(playSeconds));

        runShell("DISPLAY=" + display + " xdotool mousemove 512 384 key Escape");
        const ProcessResult r = waitProcess(player, 15);
        EXPECT_FALSE(r.timedOut) << "Escape did not end the show";
        EXPECT_EQ(r.status, 0) << r.err;
    }

    std::string display;
    RunningProcess server;
};

}  // namespace

// Answered 2 and 2 on the console; a 16-bit format keeps 5 or 6 bits of a
// channel, and the border black.
TEST_F(XvfbScreen, PictureCentredInABlackBorderAndEscapeEnds)
{
    playAndCheck({"--scale", "integer"}, "2\n2\n", {}, BORDERED, 0);
    playAndCheck({"--scale", "integer", "--pixel-format", "rgb565"}, "2\n2\n", {}, BORDERED, 8);
}

// Xvfb has no GPU: its OpenGL is software, so the window surface is used,
// here with the song answered for on the console; the renderer path, kept
// where a GPU draws, is taken on software OpenGL without sound. SDL's disk
// driver takes the sound as a device would, at its real pace, and writes it
// to a file: the song must have flowed for some seconds.
TEST_F(XvfbScreen, SmallPictureDoubledOnBothPathsAndTheSongPlaysIntoTheShow)
{
    const std::string sink = "/tmp/quorvane_e2e_sound_" + std::to_string(getpid()) + ".raw";
    playAndCheck({"--size", "1"}, "1\n",
                 {"SDL_FRAMEBUFFER_ACCELERATION=", "SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + sink},
                 DOUBLED, 0, 6);
    const std::string sound = readFile(sink);
    std::remove(sink.c_str());
    // At least 3 s of 16-bit stereo at 44.1 kHz, not all of it silent.
    EXPECT_GE(sound.size(), 3u * 44100 * 4);
    EXPECT_NE(sound.find_first_not_of('\0'), std::string::npos);
    playAndCheck({"--size", "1", "--nosound"}, "", {"SDL_FRAMEBUFFER_ACCELERATION=1"}, DOUBLED, 0);
}

// The first picture shown after --start 100 is the capture's frame at 100 s:
// both write it through QUORVANE_START_PICTURE.
TEST_F(XvfbScreen, StartingPartWayShowsTheCapturesFrame)
{
    const std::string capture = QUORVANE_BINARY_DIR "/quorvane-capture";
    if (access(capture.c_str(), X_OK) != 0) GTEST_SKIP() << "no capture program";
    const std::string base = "/tmp/quorvane_e2e_start_" + std::to_string(getpid());
    const std::size_t size = std::string("P6\n512 384\n255\n").size() + 512 * 384 * 3;
    RunningProcess player = startProcess(
        PLAYER, {"--data", QUORVANE_DATA_DIR, "--size", "1", "--nosound", "--window", "--start", "100"}, "",
        {"DISPLAY=" + display, "SDL_AUDIODRIVER=dummy", "QUORVANE_START_PICTURE=" + base + "_player.ppm"});
    std::string shown;
    for (int i = 0; i < 1200 && shown.size() < size; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        shown = readFile(base + "_player.ppm");
    }
    runShell("DISPLAY=" + display + " xdotool key Escape");
    const ProcessResult played = waitProcess(player, 15);
    EXPECT_EQ(played.status, 0) << played.err;

    const ProcessResult captured =
        runProcess(capture, {"--data", QUORVANE_DATA_DIR, "--null", "--start", "100", "--to", "100.1"}, "",
                   {"QUORVANE_START_PICTURE=" + base + "_capture.ppm"}, 120);
    EXPECT_EQ(captured.status, 0) << captured.err;
    const std::string framed = readFile(base + "_capture.ppm");
    std::remove((base + "_player.ppm").c_str());
    std::remove((base + "_capture.ppm").c_str());
    ASSERT_EQ(shown.size(), size);
    ASSERT_EQ(framed.size(), size);
    EXPECT_TRUE(shown == framed) << "the player's first picture after --start 100 differs from the capture's";
}
