#include "control/startup.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <limits>
#include <string>

#include "control/clock.h"
#include "control/fast_forward.h"
#include "control/loading.h"
#include "control/prepare.h"
#include "control/random.h"
#include "control/scenes.h"
#include "control/sound.h"
#include "control/timer.h"
#include "control/virtual_clock.h"
#include "control/watching.h"
#include "display/present.h"
#include "effects/blend.h"
#include "effects/overlay.h"
#include "image/picture.h"

namespace {

constexpr int PART_COUNT = 12;
// Draws discarded before the first part: 0x30000 passes of four.
constexpr int WARM_UP_DRAWS = 786432;

void clearConsole()
{
    if (isatty(STDOUT_FILENO)) std::fputs("\033[H\033[2J", stdout);
}

void writeLine(const char* text)
{
    std::fputs(text, stdout);
    std::fputs("\n", stdout);
    std::fflush(stdout);
}

// Reads one integer. Text that is not a number is dropped up to the end of
// its line and counts as a wrong answer (0).
int readAnswer()
{
    int answer = 0;
    if (std::cin >> answer) return answer;
    if (std::cin.eof()) {
        std::fputs("quorvane: no answer on standard input; the show needs 1 or 2\n", stderr);
        std::exit(1);
    }
    std::cin.clear();
    std::cin.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    return 0;
}

void present()
{
    presentFrame(windowBuffer, frameBuffer, 512, 384, windowWidth, windowHeight, pictureOffsetX,
                 pictureOffsetY);
}

void copyLoadingPicture()
{
    std::memcpy(frameBuffer, loadingPicture, sizeof loadingPicture);
}

[[noreturn]] void endForPicture(const std::string& message)
{
    shutDownAll();
    std::fputs(message.c_str(), stderr);
    if (DisplayDevice* display = displayDevice()) display->showMessage("Error", message.c_str());
    std::exit(1);
}

}  // namespace

int askPictureSize()
{
    for (;;) {
        clearConsole();
        writeLine("1.512*384");
        writeLine("2.640*480 (only for those who can\u00B4t run in 512*384)");
        const int answer = readAnswer();
        if (answer == 1 || answer == 2) return answer;
        writeLine("That\u00B4s not a correct answer");
    }
}

int askSound()
{
    for (;;) {
        clearConsole();
        writeLine("1.Sound");
        writeLine("2.Nosound");
        const int answer = readAnswer();
        if (answer == 1 || answer == 2) return answer;
    }
}

void setWindowGeometry(int sizeAnswer)
{
    windowWidth = sizeAnswer == 2 ? 640 : 512;
    windowHeight = sizeAnswer == 2 ? 480 : 384;
    pictureOffsetX = (windowWidth - 512) / 2;
    pictureOffsetY = (windowHeight - 384) / 2;
}

void loadShow()
{
    createScenes();
    loadScenes();
    checkLoadedScenes();
    prepareScenes();

    loadPicture("data/gfx/g1.jpg", pictureG1, 512, 384);
    loadPicture("data/gfx/g2.jpg", pictureG2, 512, 384);
    loadPicture("data/gfx/g3.jpg", pictureG3, 512, 384);
    adjustBrightness(pictureG1, 512, 384, -50);
    adjustBrightness(pictureG2, 512, 384, -50);
    adjustBrightness(pictureG3, 512, 384, -50);
    for (int i = 0; i < WARM_UP_DRAWS; ++i) drawRandom();
    buildTrigTables();
}

int runShow(const ShowOptions& options, const ShowPlatform& platform)
{
    setDisplayDevice(platform.display);
    setSoundDevice(platform.sound);
    setPictureFailureHandler(endForPicture);

    setWindowGeometry(options.sizeAnswer ? options.sizeAnswer : askPictureSize());
    soundChoice = options.soundAnswer ? options.soundAnswer : askSound();
    setScreenSize(512, 384);
    buildRowOffsets();
    loadPicture("data/gfx/loading.jpg", loadingPicture, 512, 384);
    if (!openDisplay("Quorvane", windowWidth, windowHeight)) {
        std::fputs("Failed to open graphics mode\n", stderr);
        if (platform.display) platform.display->showMessage(".", "Failed to open graphics mode");
        closeDisplay();
        return 1;
    }
    copyLoadingPicture();
    present();

    loadShow();

    // Running ahead to the start time: on the platform's clock when it is
    // virtual, else on a virtual clock and song of its own until the start.
    bool ahead = options.startMs >= 0;
    const bool ownTime = ahead && !platform.virtualTime;
    VirtualClock aheadClock(RUN_AHEAD_FPS);
    VirtualSound aheadSound(aheadClock);
    ShowClock* clock = ownTime ? &aheadClock : platform.clock;
    if (ahead) {
        presentationMuted = true;
        beginRunAhead(options.startMs);
    }
    clock->startTimers();
    if (soundChoice == 1) initSound();
    if (ownTime) setSoundDevice(&aheadSound);
    // The platform's sound again, the song started where the show is.
    auto handOver = [&](int t) {
        if (!ownTime) return;
        setSoundDevice(platform.sound);
        if (!aheadSound.volumeChanges().empty())
            setMusicVolume(aheadSound.volumeChanges().back().volume);
        if (aheadSound.playing()) playMusicAt(t);
        platform.clock->startTimers();
        clock = platform.clock;
    };
    resetPartClocks();

    while (2 * ticks(partTicks[2]) < 255) {
        copyLoadingPicture();
        adjustBrightness(frameBuffer, 512, 384, -(2 * ticks(partTicks[2])));
        present();
        clock->endOfPass();
    }
    playMusic();
    resetPartClocks();
    setTicks(musicTimeMs, 0);

    Watching watching(platform.display, clock);
    for (int k = 0; k < PART_COUNT; ++k) {
        if (k >= 1) {
            resetPartClocks();
            if (k == 2 || k == 4) randomizeRowOffsets();
        }
        bool escape = false;
        while (currentPart == k) {
            if (!watching.waitWhilePaused(k, ticks(musicTimeMs))) {
                escape = true;
                break;
            }
            if (k == 11) {
                const int d = ticks(partTicks[2]);
                if (5 * d < 500) setTicks(cueTicks[0], 0);
                if (5 * d > 500) setMusicVolume(drawRandom() % 50 + 200);
            }
            if (soundChoice == 1) setTicks(musicTimeMs, musicPositionMs());
            const int t = ticks(musicTimeMs);
            // The first frame at or after the start is shown; when it shows
            // nothing of its own (the medley may skip a frame), the show's
            // last picture is.
            const bool reached = ahead && t >= options.startMs;
            const long presented = presentCount;
            if (reached) presentationMuted = false;
            watching.label(k, t);
            renderPart(k, t);
            if (reached) {
                if (presentCount == presented) presentRetained();
                ahead = false;
                finishRunAhead(t);
                writeStartPicture();
                handOver(t);
                watching.setClock(clock);
            } else if (ahead) {
                showRunAhead(t);
            }
            escape = platform.display->escapePressed();
            if (!escape && k == 9 && ticks(musicTimeMs) > 234000) setMusicVolume(drawRandom() % 100);
            if (!ahead) watching.takeKeys(k, t);
            clock->endOfPass();
            if (escape) break;
        }
        if (escape) break;
    }
    if (ahead) {
        presentationMuted = false;
        if (ownTime) setSoundDevice(platform.sound);
    }
    shutDownAll();
    return 0;
}
