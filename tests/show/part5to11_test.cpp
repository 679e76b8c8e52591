#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "control/clock.h"
#include "control/pictures.h"
#include "control/random.h"
#include "control/scenes.h"
#include "control/startup.h"
#include "control/virtual_clock.h"
#include "display/pixel.h"
#include "effects/blur.h"
#include "show/medley.h"
#include "show/parts.h"
#include "show/state.h"
#include "tests/show/show_support.h"

namespace {

using Pixels = std::vector<std::uint32_t>;

// A busy picture, every channel below 240.
Pixels pattern()
{
    Pixels pixels(PICTURE_PIXELS);
    for (int i = 0; i < PICTURE_PIXELS; ++i) pixels[i] = (i * 2654435761u >> 4) & 0x00EFEFEF;
    return pixels;
}

Pixels shownFrame() { return {frameBuffer, frameBuffer + PICTURE_PIXELS}; }

// Sets the generator so that its next draw % modulus is value.
void drawNext(int modulus, int value)
{
    resetRandom();
    int before = 0;
    while (drawRandom() % modulus != value) ++before;
    resetRandom();
    for (int i = 0; i < before; ++i) drawRandom();
}

// The prepared show with the scenes of parts 5 to 9 swapped for meshes
// without faces and black grain pictures, so a frame holds only the
// pictures and effects. Everything is put back afterwards.
class SecondHalf : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 5; ++i) {
            saved[i] = *slots[i];
            standIns[i] = std::make_unique<Scene>();
            for (int k = 0; k < 5; ++k) standIns[i]->meshes.push_back(std::make_unique<Mesh>());
            standIns[i]->meshCount = i == 4 ? 3 : 5;
            *slots[i] = standIns[i].get();
        }
        for (int i = 0; i < 6; ++i) copies[i].assign(kept[i].pixels, kept[i].pixels + kept[i].count);
        for (int i = 0; i < 4; ++i) std::fill_n(kept[i].pixels, kept[i].count, 0u);   // the grain
        resetShowState();
    }
    void TearDown() override
    {
        for (int i = 0; i < 5; ++i) *slots[i] = saved[i];
        for (int i = 0; i < 6; ++i) std::copy(copies[i].begin(), copies[i].end(), kept[i].pixels);
        resetShowState();
    }

    MemoryDisplay& display = prepareShow();

private:
    Scene** const slots[5] = {&scene5, &scene6, &scene7, &scene9b, &scene11};
    Scene* saved[5] = {};
    std::unique_ptr<Scene> standIns[5];
    const struct {
        std::uint32_t* pixels;
        int count;
    } kept[6] = {{pictureG1, PICTURE_PIXELS},      {pictureG2, PICTURE_PIXELS},
                 {pictureG3, PICTURE_PIXELS},      {picture34, 100 * 80},
                 {pictureDesign3, PICTURE_PIXELS}, {pictureDesign5, PICTURE_PIXELS}};
    Pixels copies[6];
};

// Entry i of the conveyor stands at 300 * i - 2 * its cue counter.
TEST_F(SecondHalf, ConveyorEntryWrapsWhenItReachesMinus2500)
{
    const struct {
        int entry, ticks;
        float x;
        int ticksAfter;
    } cases[] = {{0, 1249, -2498.0f, 1249}, {0, 1250, -2500.0f, -1000}, {2, 1550, -2500.0f, -1000}};
    for (const auto& c : cases) {
        setTicks(cueTicks[5 + c.entry], c.ticks);
        renderPart9(180000);
        EXPECT_EQ(scene11->meshes[c.entry]->position.x, c.x) << c.ticks;
        EXPECT_EQ(ticks(cueTicks[5 + c.entry]), c.ticksAfter) << c.ticks;
    }
    renderPart9(180000);
    EXPECT_EQ(scene11->meshes[2]->position.x, 2600.0f);   // back 2000 right of its start
}

TEST_F(SecondHalf, SmearGrowsToItsCapThenPulses)
{
    const Pixels background = pattern();
    std::copy(background.begin(), background.end(), pictureDesign3);
    const auto smeared = [&](int weight) {
        Pixels pixels = background;
        zoomBlur(pixels.data(), 256, 192, 4000, weight);
        return pixels;
    };
    setTicks(cueTicks[2], 100);   // past the fade-in
    const struct {
        int t, level, weight, levelAfter;   // weight -1: no smear
    } cases[] = {{196999, 50, -1, 0}, {197000, 50, -1, 50}, {197001, 30, 60, 30},
                          {204999, 81, 160, 80}, {205000, 80, -1, 80}};
    for (const auto& c : cases) {
        setTicks(partTicks[2], c.level);
        renderPart9(c.t);
        EXPECT_TRUE(shownFrame() == (c.weight < 0 ? background : smeared(c.weight))) << c.t;
        EXPECT_EQ(ticks(partTicks[2]), c.levelAfter) << c.t;
    }
    // From 205 s the pulse, stepped once by each frame above, adds 20, 30,
    // 0, 10, 20.
    for (int weight : {180, 190, 160, 170, 180}) {
        renderPart9(206000);
        EXPECT_TRUE(shownFrame() == smeared(weight)) << weight;
    }
}

// Part 0 comes up for two draws of nine, every other part for one; a draw
// of 0 replays nothing and presents nothing, though the close flickers black.
TEST_F(SecondHalf, MedleyChoiceAndADrawOfZero)
{
    const FrameFunction expected[] = {nullptr,     renderPart0, renderPart1, renderPart2, renderPart3,
                                      renderPart4, renderPart5, renderPart6, renderPart0, nullptr};
    for (int k = 0; k < 10; ++k) EXPECT_EQ(medleyChoice(k), expected[k]) << k;
    const Pixels shown = pattern();
    const struct {
        int t, flips;
    } cases[] = {{1000, 0}, {233500, 0}, {233501, 1}, {233999, 1}, {234000, 0}};
    for (const auto& c : cases) {
        std::copy(shown.begin(), shown.end(), frameBuffer);
        drawNext(9, 0);
        const int flipsBefore = display.flips;
        currentPart = 10;
        renderPart10(c.t);
        EXPECT_EQ(display.flips - flipsBefore, c.flips) << c.t;
        EXPECT_TRUE(shownFrame() == (c.flips ? Pixels(PICTURE_PIXELS, 0) : shown)) << c.t;
    }
}

TEST_F(SecondHalf, ClosingDarkeningHoldsAt765Ticks)
{
    struct Case {
        int since, darken, darkenAfter, channel, shown;
    };
    // With a tremble of 9 a darkening of 255 leaves 250 + 9 - 255.
    const Case cases[] = {
        {79, 500, 0, 200, 200}, {200, 767, 767, 250, 4}, {200, 768, 765, 250, 4}, {200, 5000, 765, 250, 4}};
    for (const auto& c : cases) {
        std::fill_n(pictureDesign5, PICTURE_PIXELS, packRgb(c.channel, c.channel, c.channel));
        setTicks(partTicks[2], c.since);
        setTicks(partTicks[1], c.darken);
        drawNext(10, 9);
        renderPart11(0);
        EXPECT_EQ(ticks(partTicks[1]), c.darkenAfter) << c.darken;
        const std::uint32_t pixel = packRgb(c.shown, c.shown, c.shown);
        // Row 0 is never copied into.
        EXPECT_EQ(std::count(frameBuffer + 512, frameBuffer + PICTURE_PIXELS, pixel), PICTURE_PIXELS - 512)
            << c.darken;
    }
}

// A part goes on at its end time (ms) and ends on the first later frame;
// part 2 ends on its tick count 3 past 500, held at 0 before 60 s. Part 6
// hands over to 8, part 11 never ends. The ending frames of parts 0 to 4
// are still drawn and presented.
TEST(Timeline, EachPartEndsJustPastItsBound)
{
    MemoryDisplay& display = prepareShow();
    const struct {
        int part, t, ticks3, partAfter, ticks3After;
    } cases[] = {
        {0, 24000, 0, 0, 0},      {0, 24001, 0, 1, 0},      {1, 48000, 0, 1, 0},
        {1, 48001, 0, 2, 0},      {2, 59999, 400, 2, 0},    {2, 59999, 501, 3, 0},
        {2, 60000, 500, 2, 500},  {2, 60000, 501, 3, 501},  {3, 96000, 0, 3, 0},
        {3, 96001, 0, 4, 0},      {4, 108000, 0, 4, 0},     {4, 108001, 0, 5, 0},
        {5, 131500, 0, 5, 0},     {5, 131501, 0, 6, 0},     {6, 155700, 0, 6, 0},
        {6, 155701, 0, 8, 0},     {8, 174000, 0, 8, 0},     {8, 174001, 0, 9, 0},
        {9, 211000, 0, 9, 0},     {9, 211001, 0, 10, 0},    {10, 234300, 0, 10, 0},
        {10, 234301, 0, 11, 0},   {11, 2000000001, 0, 11, 0},
    };
    for (const auto& c : cases) {
        startPart(c.part);
        setTicks(partTicks[3], c.ticks3);
        const int flips = display.flips;
        renderPart(c.part, c.t);
        EXPECT_EQ(currentPart, c.partAfter) << c.part << " at " << c.t;
        if (c.part == 2) {
            EXPECT_EQ(ticks(partTicks[3]), c.ticks3After) << "at " << c.t;
        }
        if (c.part <= 4) {
            EXPECT_EQ(display.flips, flips + 1) << c.part << " at " << c.t;
        }
    }
}

// Runs the show's main flow on a clock of 10 ms per pass. After the first
// frame it jumps to 155.68 s in part 6; as part 6 ends every counter is set
// high, which the timeline must clear before part 8's first frame.
class WatchingDisplay final : public MemoryDisplay {
public:
    bool escapePressed() override
    {
        if (partAfter.empty()) {
            currentPart = 6;
            setTicks(musicTimeMs, 155680);
        }
        times.push_back(ticks(musicTimeMs));
        partAfter.push_back(currentPart);
        staleTicks = ticks(cueTicks[10]) + ticks(partTicks[8]);
        if (currentPart == 8 && partAfter.size() == 4) {
            for (auto& counter : partTicks) setTicks(counter, 500);
            for (auto& counter : cueTicks) setTicks(counter, 500);
        }
        return partAfter.size() == 5;
    }
    std::vector<int> times, partAfter;
    int staleTicks = -1;
};

TEST(Timeline, PartSixHandsOverToPartEightWithFreshClocks)
{
    MemoryDisplay& shared = prepareShow();
    Scene** slots[] = {&scene1, &scene2, &scene2b, &scene3, &scene4,  &scene4b, &scene5,  &scene6,
                       &scene7, &scene8, &scene9,  &scene9b, &scene10, &scene11, &scene12, &scene13};
    Scene* saved[16];
    for (int i = 0; i < 16; ++i) saved[i] = *slots[i];

    WatchingDisplay display;
    VirtualClock clock(100);
    currentPart = 0;
    EXPECT_EQ(runShow({1, 2}, {&display, nullptr, &clock}), 0);

    setDisplayDevice(&shared);
    openDisplay("test", 512, 384);
    for (int i = 0; i < 16; ++i) delete std::exchange(*slots[i], saved[i]);
    resetShowState();
    currentPart = 0;

    EXPECT_EQ(display.times, (std::vector<int>{155680, 155690, 155700, 155710, 155720}));
    EXPECT_EQ(display.partAfter, (std::vector<int>{6, 6, 6, 8, 8}));
    EXPECT_EQ(display.staleTicks, 0);
}

}  // namespace
