// The page's program. The page calls main with the answers of its start
// screen (--size 1|2 --sound|--nosound) once the data set is in the virtual
// file system under data/, or with --virtual FPS for the virtual-clock mode:
// the show then runs on the capture's virtual clock, as fast as it can, and
// hands the frame at each show time the page asks for back to the page.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "control/clock.h"
#include "control/startup.h"
#include "control/virtual_clock.h"
#include "image/picture.h"
#include "web/platform/canvas_display.h"
#include "web/platform/page_clock.h"
#include "web/platform/webaudio_sound.h"

namespace {

// clang-format off
// Puts the frame on the canvas's page side and waits for the next show time
// wanted; a negative one ends the show.
EM_ASYNC_JS(int, handFrameBack, (int showMs, int part), {
    return await Module.page.handFrame(showMs, part);
});
// clang-format on

CanvasDisplay display;

// What the timeline's Escape poll saw during the current pass.
bool polled = false;
int polledMs = 0;
// The part that drew the current pass: the one running when the last pass
// ended (a part may end during its own last frame).
int partOfPass = -1;

int passPart()
{
    const int part = polled ? partOfPass : -1;
    partOfPass = currentPart;
    polled = false;
    return part;
}

int playInPage(int size, int sound)
{
    static WebAudioSound webAudio;
    static PageClock clock;
    clock.partOfPass = passPart;
    display.onEscapePoll = [] {
        polled = true;
        return display.takeEscapeKey();
    };
    ShowOptions options;
    options.sizeAnswer = size;
    options.soundAnswer = sound;
    ShowPlatform platform;
    platform.display = &display;
    platform.sound = &webAudio;
    platform.clock = &clock;
    return runShow(options, platform);
}

// The capture's virtual clock, handing the frame of each wanted show time
// to the page before the clock moves on. Its pass hand-over is a plain
// virtual call, so that only this path waits through Asyncify.
class HandingClock final : public ShowClock {
public:
    explicit HandingClock(int fps) : clock(fps) {}

    void startTimers() override { clock.startTimers(); }
    void endOfPass() override
    {
        if (clock.started()) handPass();
        clock.endOfPass();
    }

    VirtualClock clock;
    int wantedMs = 0;
    bool ending = false;

private:
    void handPass()
    {
        const bool timeline = polled;
        const int shownMs = polledMs;
        const int part = passPart();
        if (passStart_ >= 0) recordPassTime(part, pageNowMs() - passStart_);
        if (timeline && shownMs >= wantedMs && !ending) {
            display.show();
            wantedMs = handFrameBack(shownMs, part);
            if (wantedMs < 0) ending = true;
        }
        passStart_ = pageNowMs();
    }

    double passStart_ = -1;
};

int playOnVirtualClock(int size, int fps)
{
    static HandingClock handing(fps);
    static VirtualSound sound(handing.clock);
    display.showEveryFlip = false;
    display.onEscapePoll = [] {
        polled = true;
        polledMs = ticks(musicTimeMs);
        return handing.ending;
    };
    handing.wantedMs = handFrameBack(-1, -1);
    if (handing.wantedMs < 0) return 0;
    ShowOptions options;
    options.sizeAnswer = size;
    options.soundAnswer = 1;
    ShowPlatform platform;
    platform.display = &display;
    platform.sound = &sound;
    platform.clock = &handing;
    return runShow(options, platform);
}

}  // namespace

int main(int argc, char** argv)
{
    int size = 1, sound = 1, fps = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--size" && i + 1 < argc) {
            size = std::atoi(argv[++i]) == 2 ? 2 : 1;
        } else if (arg == "--sound") {
            sound = 1;
        } else if (arg == "--nosound") {
            sound = 2;
        } else if (arg == "--virtual" && i + 1 < argc) {
            fps = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "quorvane: unknown option %s\n", arg.c_str());
            return 2;
        }
    }
    setDataDirectory("data");
    const int status = fps > 0 ? playOnVirtualClock(size, fps) : playInPage(size, sound);
    // main returns through Asyncify's resumption, where a plain return ends
    // nothing: exit tells the page that the show is over.
    std::exit(status);
}
