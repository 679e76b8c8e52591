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
                char name[16];
                std::snprintf(name, sizeof name, ":%d", number);
                display = std::string(name);
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

    // The whole X screen as RGB bytes.
    std::vector<unsigned char> screenshot()
    {
        const std::string path = "/tmp/quorvane_e2e_shot_" + std::to_string(getpid()) + ".rgb";
        std::vector<unsigned char> rgb;
        if (!runShell("import -display " + display + " -window root -depth 8 rgb:" + path +
                      " 2>/dev/null"))
            return rgb;
        std::ifstream in(path, std::ios::binary);
        rgb.assign(std::istreambuf_iterator<char>(in), {});
        return rgb;
    }

    // Plays with answers "2" and "2", waits until the show's picture is lit
    // in the middle of the screen with everything around it black, then
    // ends the show with Escape. The show moves on by real time, so the
    // picture's content is not compared; tolerance is how far from 0 a
    // black channel may read.
    void playAndCheck(const std::vector<std::string>& extraArgs, int tolerance)
    {
        std::vector<std::string> args = {"--data", QUORVANE_DATA_DIR};
        args.insert(args.end(), extraArgs.begin(), extraArgs.end());
        RunningProcess player = startProcess(PLAYER, args, "2\n2\n",
                                             {"DISPLAY=" + display, "SDL_AUDIODRIVER=dummy"});
        // The 640x480 window fills the screen's middle: the picture sits
        // 64,48 inside it.
        const int left = (SCREEN_W - 640) / 2 + 64, top = (SCREEN_H - 480) / 2 + 48;
        auto inPicture = [&](int x, int y) {
            return x >= left && y >= top && x < left + 512 && y < top + 384;
        };
        // Border pixels that are not black, plus the whole picture's count
        // while fewer than half of its pixels are lit.
        auto wrongPixels = [&](const std::vector<unsigned char>& shot) {
            if (shot.size() != SCREEN_W * SCREEN_H * 3) return SCREEN_W * SCREEN_H;
            int wrong = 0, lit = 0;
            for (int y = 0; y < SCREEN_H; ++y)
                for (int x = 0; x < SCREEN_W; ++x) {
                    const unsigned char* s = &shot[(static_cast<std::size_t>(y) * SCREEN_W + x) * 3];
                    const int brightest = std::max({int(s[0]), int(s[1]), int(s[2])});
                    if (inPicture(x, y)) lit += brightest > 2 * tolerance + 8;
                    else if (brightest > tolerance) ++wrong;
                }
            return lit < 512 * 384 / 2 ? wrong + 512 * 384 : wrong;
        };
        // A screenshot may catch the fade-in, so the screen is looked at
        // until it shows a lit picture, for up to 30 s.
        int wrong = SCREEN_W * SCREEN_H;
        for (int i = 0; i < 60 && wrong != 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            wrong = wrongPixels(screenshot());
        }
        EXPECT_EQ(wrong, 0) << "pixels wrong in the picture or its black border";

        runShell("DISPLAY=" + display + " xdotool mousemove 512 384 key Escape");
        const ProcessResult r = waitProcess(player, 15);
        EXPECT_FALSE(r.timedOut) << "Escape did not end the show";
        EXPECT_EQ(r.status, 0) << r.err;
    }

    std::string display;
    RunningProcess server;
};

}  // namespace

TEST_F(XvfbScreen, PictureCentredInABlackBorderAndEscapeEnds)
{
    playAndCheck({}, 0);
}

TEST_F(XvfbScreen, SixteenBitFormatKeepsTheBorderBlack)
{
    // 5 or 6 bits a channel: black stays within 8 of 0.
    playAndCheck({"--pixel-format", "rgb565"}, 8);
}
