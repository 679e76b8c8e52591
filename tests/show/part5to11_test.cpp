#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "control/clock.h"
#include "control/pictures.h"
#include "control/random.h"
#include "control/scenes.h"
#include "control/startup.h"
#include "control/timer.h"
#include "display/memory_display.h"
#include "display/pixel.h"
#include "effects/blur.h"
#include "image/picture.h"
#include "show/medley.h"
#include "show/parts.h"
#include "tests/show/show_support.h"

// The second half of the show, parts 5 to 11: when each part ends, the
// hand-over from part 6 to part 8, part 9's conveyor and smear, the medley's
// choices, and the closing picture's darkening.

namespace {

std::vector<std::uint32_t> pattern()
{
    std::vector<std::uint32_t> pixels(PICTURE_PIXELS);
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 512; ++x)
            pixels[y * 512 + x] = packRgb((x * 3 + y) % 240, (x * y) % 241, (x + 7 * y) % 239);
    return pixels;
}

std::unique_ptr<Scene> sceneOfEmptyMeshes(int count)
{
    auto scene = std::make_unique<Scene>();
    for (int i = 0; i < count; ++i) scene->meshes.push_back(std::make_unique<Mesh>());
    scene->meshCount = count;
    return scene;
}

// The prepared show with the scenes of parts 5 to 9 replaced by meshes
// without faces, so a frame holds only the pictures and effects; the grain
// and the small picture of part 9 are black. Pictures and scene slots are
// put back afterwards.
class SecondHalf : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (std::size_t i = 0; i < slots.size(); ++i) {
            saved[i] = *slots[i];
            standIns[i] = sceneOfEmptyMeshes(i == 2 ? 5 : 3);
            *slots[i] = standIns[i].get();
        }
        // Black grain and a black trembling picture add nothing.
        for (std::size_t i = 0; i < pictures.size(); ++i) {
            savedPictures[i].assign(pictures[i].first, pictures[i].first + pictures[i].second);
            if (i < 4) std::fill_n(pictures[i].first, pictures[i].second, 0u);
        }

        resetPartClocks();
    }
    void TearDown() override
    {
        for (std::size_t i = 0; i < slots.size(); ++i) *slots[i] = saved[i];
        for (std::size_t i = 0; i < pictures.size(); ++i)
            std::copy(savedPictures[i].begin(), savedPictures[i].end(), pictures[i].first);
        resetPartClocks();
    }

    std::vector<std::uint32_t> frame() const { return {frameBuffer, frameBuffer + PICTURE_PIXELS}; }

    MemoryDisplay& display = prepareShow();

private:
    const std::array<Scene**, 5> slots{&scene5, &scene6, &scene7, &scene9b, &scene11};
    std::array<Scene*, 5> saved{};
    std::array<std::unique_ptr<Scene>, 5> standIns;
    const std::array<std::pair<std::uint32_t*, int>, 6> pictures{{{pictureG1, PICTURE_PIXELS},
                                                                  {pictureG2, PICTURE_PIXELS},
                                                                  {pictureG3, PICTURE_PIXELS},
                                                                  {picture34, 100 * 80},
                                                                  {pictureDesign3, PICTURE_PIXELS},
                                                                  {pictureDesign5, PICTURE_PIXELS}}};
    std::array<std::vector<std::uint32_t>, 6> savedPictures;
};

TEST_F(SecondHalf, EachPartEndsOnTheFirstFrameAfterItsEndTime)
{
    struct Case {
        void (*render)(int);
        int index, endMs, next;
    };
    const Case cases[] = {
        {renderPart5, 5, 131500, 6},   {renderPart6, 6, 155700, 8},  {renderPart8, 8, 174000, 9},
        {renderPart9, 9, 211000, 10}, {renderPart10, 10, 234300, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        currentPart = c.index;
        c.render(c.endMs);
        EXPECT_EQ(currentPart, c.index);
        c.render(c.endMs + 1);
        EXPECT_EQ(currentPart, c.next);
    }
    currentPart = 11;
    renderPart11(1000000);
    EXPECT_EQ(currentPart, 11);
}

TEST_F(SecondHalf, ConveyorEntryWrapsWhenItReachesMinus2500)
{
    struct Case {
        int entry, ticks;
        float x;
        int ticksAfter;
    };
    // Entry i stands at 300 * i - 2 * ticks.
    const Case cases[] = {
        {0, 1249, -2498.0f, 1249}, {0, 1250, -2500.0f, -1000},
        {2, 1550, -2500.0f, -1000}, {2, 1549, -2498.0f, 1549}, {1, 2000, -3700.0f, -1000},
    };
    setTicks(cueTicks[2], 100);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ticks);
        setTicks(cueTicks[5 + c.entry], c.ticks);
        renderPart9(180000);
        EXPECT_EQ(scene11->meshes[c.entry]->position.x, c.x);
        EXPECT_EQ(ticks(cueTicks[5 + c.entry]), c.ticksAfter);
    }
    // After a wrap the entry comes back 2000 units right of its start.
    renderPart9(180000);
    EXPECT_EQ(scene11->meshes[1]->position.x, 2300.0f);
}

TEST_F(SecondHalf, SmearGrowsToItsCapThenPulses)
{
    const std::vector<std::uint32_t> background = pattern();
    std::copy(background.begin(), background.end(), pictureDesign3);
    const auto smeared = [&](int weight) {
        std::vector<std::uint32_t> pixels = background;
        zoomBlur(pixels.data(), 256, 192, 4000, weight);
        return pixels;
    };
    setTicks(cueTicks[2], 100);   // past the fade-in

    struct Case {
        int t, level;
        bool smear;
        int weight, levelAfter;
    };
    const Case cases[] = {
        {196999, 50, false, 0, 0},   // before 197 s the level is held at 0
        {197000, 50, false, 0, 50},
        {197001, 30, true, 60, 30},  {200000, 80, true, 160, 80},
        {204999, 81, true, 160, 80}, // capped at 80 ticks, weight 160
        {205000, 80, false, 0, 80},  // neither smear at exactly 205 s
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t);
        setTicks(partTicks[2], c.level);
        renderPart9(c.t);
        EXPECT_TRUE(frame() == (c.smear ? smeared(c.weight) : background));
        EXPECT_EQ(ticks(partTicks[2]), c.levelAfter);
    }

    // From 205 s the weight steps 170, 180, 190, 160 frame by frame.
    std::vector<int> weights;
    for (int n = 0; n < 5; ++n) {
        renderPart9(206000);
        int found = -1;
        for (int w : {160, 170, 180, 190})
            if (frame() == smeared(w)) found = w;
        weights.push_back(found);
    }
    ASSERT_NE(std::find(weights.begin(), weights.end(), 160), weights.end());
    for (std::size_t n = 1; n < weights.size(); ++n)
        EXPECT_EQ(weights[n], weights[n - 1] == 190 ? 160 : weights[n - 1] + 10);
}

TEST(Medley, PartZeroComesUpTwiceAsOftenAndZeroReplaysNothing)
{
    std::vector<FrameFunction> choices;
    for (int k = 0; k < 9; ++k) choices.push_back(medleyChoice(k));
    EXPECT_EQ(choices[0], nullptr);
    EXPECT_EQ(std::count(choices.begin(), choices.end(), renderPart0), 2);
    const FrameFunction others[] = {renderPart1, renderPart2, renderPart3,
                                    renderPart4, renderPart5, renderPart6};
    for (FrameFunction f : others) EXPECT_EQ(std::count(choices.begin(), choices.end(), f), 1);
    EXPECT_EQ(medleyChoice(9), nullptr);
    EXPECT_EQ(medleyChoice(-1), nullptr);
}

// Sets the generator so that its next draw % modulus is value.
void drawNext(int modulus, int value)
{
    resetRandom();
    int before = 0;
    while (drawRandom() % modulus != value) ++before;
    resetRandom();
    for (int i = 0; i < before; ++i) drawRandom();
}

TEST_F(SecondHalf, MedleyDrawOfZeroPresentsNothingAndTheCloseFlickersBlack)
{
    const std::vector<std::uint32_t> shown = pattern();
    struct Case {
        int t, flips;
        bool black;
    };
    const Case cases[] = {
        {1000, 0, false}, {233500, 0, false}, {233501, 1, true}, {233999, 1, true}, {234000, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t);
        std::copy(shown.begin(), shown.end(), frameBuffer);
        drawNext(9, 0);
        const int flipsBefore = display.flips;
        currentPart = 10;
        renderPart10(c.t);
        EXPECT_EQ(display.flips - flipsBefore, c.flips);
        EXPECT_TRUE(frame() == (c.black ? std::vector<std::uint32_t>(PICTURE_PIXELS, 0) : shown));
    }
}

TEST_F(SecondHalf, ClosingDarkeningHoldsAt765Ticks)
{
    std::fill_n(pictureDesign5, PICTURE_PIXELS, packRgb(250, 250, 250));
    struct Case {
        int since, darken, darkenAfter;
        std::uint32_t pixel;
    };
    // With a tremble of 9 a held darkening of 255 leaves 250 + 9 - 255.
    const Case cases[] = {
        {79, 500, 0, packRgb(250, 250, 250)},   // before 0.8 s nothing darkens
        {200, 767, 767, packRgb(4, 4, 4)},      // 255 steps, still counting
        {200, 768, 765, packRgb(4, 4, 4)},
        {200, 5000, 765, packRgb(4, 4, 4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.darken);
        setTicks(partTicks[2], c.since);
        setTicks(partTicks[1], c.darken);
        drawNext(10, 9);
        renderPart11(0);
        EXPECT_EQ(ticks(partTicks[1]), c.darkenAfter);
        // Row 0 is never copied into.
        EXPECT_TRUE(std::all_of(frameBuffer + 512, frameBuffer + PICTURE_PIXELS,
                                [&](std::uint32_t p) { return p == c.pixel; }));
    }
}

// The whole show's main flow on a clock that moves 10 ms per pass; after
// the first frame the show is moved to 155.68 s in part 6.
class JumpingClock final : public ShowClock {
public:
    void startTimers() override {}
    void endOfPass() override
    {
        onTimer10ms();
        for (int i = 0; i < 10; ++i) onTimer1ms();
    }
};

struct Seen {
    int t, partAfter, staleTicks;
};

class WatchingDisplay final : public MemoryDisplay {
public:
    // Polled once after every frame of the timeline.
    bool escapePressed() override
    {
        if (seen.empty()) {
            currentPart = 6;
            setTicks(musicTimeMs, 155680);
            seen.push_back({-1, 6, 0});
            return false;
        }
        seen.push_back({ticks(musicTimeMs), currentPart, ticks(cueTicks[10]) + ticks(partTicks[8])});
        // Counters left high as part 6 ends must not reach part 8.
        if (currentPart == 8 && seen[seen.size() - 2].partAfter == 6) {
            for (auto& counter : partTicks) setTicks(counter, 500);
            for (auto& counter : cueTicks) setTicks(counter, 500);
        }
        return seen.size() == 5;
    }
    std::vector<Seen> seen;
};

TEST(Timeline, PartSixHandsOverToPartEightWithFreshClocks)
{
    MemoryDisplay& shared = prepareShow();
    Scene** slots[] = {&scene1, &scene2, &scene2b, &scene3, &scene4, &scene4b, &scene5, &scene6,
                       &scene7, &scene8, &scene9, &scene9b, &scene10, &scene11, &scene12, &scene13};
    Scene* saved[16];
    for (int i = 0; i < 16; ++i) saved[i] = *slots[i];
    const std::string savedData = dataDirectory();
    setDataDirectory(QUORVANE_DATA_DIR);

    WatchingDisplay display;
    JumpingClock clock;
    currentPart = 0;
    ShowPlatform platform;
    platform.display = &display;
    platform.clock = &clock;
    ShowOptions options;
    options.sizeAnswer = 1;
    options.soundAnswer = 2;
    EXPECT_EQ(runShow(options, platform), 0);

    setDisplayDevice(&shared);
    openDisplay("test", 512, 384);
    setDataDirectory(savedData);
    for (int i = 0; i < 16; ++i) {
        delete *slots[i];
        *slots[i] = saved[i];
    }
    resetPartClocks();
    currentPart = 0;

    ASSERT_EQ(display.seen.size(), 5u);
    const int times[] = {155690, 155700, 155710, 155720};
    const int parts[] = {6, 6, 8, 8};
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(display.seen[n + 1].t, times[n]);
        EXPECT_EQ(display.seen[n + 1].partAfter, parts[n]);
    }
    EXPECT_EQ(display.seen[4].staleTicks, 0);
}

}  // namespace
