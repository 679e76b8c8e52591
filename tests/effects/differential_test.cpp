#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "effects/blend.h"
#include "effects/blur.h"
#include "effects/overlay.h"
#include "tests/effects/reference.h"
#include "tests/effects/test_pictures.h"

// Every effect against its plain per-pixel version, on random pictures
// with random arguments: half of them as the show passes them, half
// anywhere (placements off the picture, odd sizes, steps and strengths).
namespace {

using PackedEffects = EffectTest;

struct Trial {
    std::string arguments;
    std::function<void(Picture&)> fast, plain;
};

struct Effect {
    const char* name;
    int rounds;
    std::function<Trial(std::mt19937&, bool showLike)> draw;
};

// A random source picture kept alive for the trial's two calls.
std::shared_ptr<Picture> randomSource(std::mt19937& random, std::size_t pixels)
{
    return std::make_shared<Picture>(noise(pixels, random));
}

std::string list(std::initializer_list<double> values)
{
    std::string s;
    for (double v : values) s += std::to_string(v) + " ";
    return s;
}

const Effect effects[] = {
    {"adjustBrightness", 30, [](std::mt19937& r, bool) {
         const int w = between(r, 1, 512), h = between(r, 1, 384), d = between(r, -400, 400);
         return Trial{list({double(w), double(h), double(d)}),
                      [=](Picture& p) { adjustBrightness(p.data(), w, h, d); },
                      [=](Picture& p) { reference::adjustBrightness(p.data(), w, h, d); }};
     }},
    {"crossFade", 30, [](std::mt19937& r, bool) {
         const int w = between(r, 1, 512), h = between(r, 1, 384), weight = between(r, -20, 300);
         const auto s = randomSource(r, PICTURE_PIXELS);
         return Trial{list({double(w), double(h), double(weight)}),
                      [=](Picture& p) { crossFade(p.data(), s->data(), w, h, weight); },
                      [=](Picture& p) { reference::crossFade(p.data(), s->data(), w, h, weight); }};
     }},
    {"tintRect", 40, [](std::mt19937& r, bool show) {
         const int x0 = show ? 50 : between(r, -600, 600), x1 = show ? 150 : x0 + between(r, -5, 1200);
         const int y0 = between(r, -50, 400), y1 = y0 + between(r, -5, 420);
         const int red = between(r, -300, 300), green = between(r, -300, 300), blue = between(r, -300, 300);
         return Trial{list({double(x0), double(y0), double(x1), double(y1)}),
                      [=](Picture& p) { tintRect(p.data(), x0, y0, x1, y1, red, green, blue); },
                      [=](Picture& p) { reference::tintRect(p.data(), x0, y0, x1, y1, red, green, blue); }};
     }},
    {"addPicture", 40, [](std::mt19937& r, bool show) {
         const int x0 = show ? between(r, 0, 99) : between(r, -700, 600);
         const int y0 = show ? between(r, 0, 99) : between(r, -400, 400);
         const int x1 = show ? 512 : x0 + between(r, -3, 700), y1 = show ? 384 : y0 + between(r, -3, 500);
         const int pixels = show ? PICTURE_PIXELS : between(r, 0, PICTURE_PIXELS);
         const auto fastSource = randomSource(r, PICTURE_PIXELS), plainSource = std::make_shared<Picture>(*fastSource);
         return Trial{list({double(x0), double(y0), double(x1), double(y1), double(pixels)}),
                      [=](Picture& p) {
                          addPicture(p.data(), fastSource->data(), x0, y0, x1, y1, pixels);
                          p.insert(p.end(), fastSource->begin(), fastSource->end());   // the source is compared too
                      },
                      [=](Picture& p) {
                          reference::addPicture(p.data(), plainSource->data(), x0, y0, x1, y1, pixels);
                          p.insert(p.end(), plainSource->begin(), plainSource->end());
                      }};
     }},
    {"copyPicture", 40, [](std::mt19937& r, bool show) {
         const int w = show ? 512 : between(r, 1, 530), h = between(r, 1, 800);
         const int x = show ? 0 : between(r, -600, 600), y = between(r, -900, 500);
         const auto s = randomSource(r, static_cast<std::size_t>(w) * h);
         return Trial{list({double(x), double(y), double(w), double(h)}),
                      [=](Picture& p) { Picture c = *s; copyPicture(p.data(), c.data(), x, y, w, h); },
                      [=](Picture& p) { Picture c = *s; reference::copyPicture(p.data(), c.data(), x, y, w, h); }};
     }},
    {"blurBuffer", 30, [](std::mt19937& r, bool show) {
         const int w = show ? 512 : between(r, 1, 512), h = show ? 384 : between(r, 1, 384), passes = between(r, -1, 3);
         // Zero channels here and there, so that skipped pixels occur often.
         const auto holes = std::make_shared<Picture>(noise(PICTURE_PIXELS, r));
         auto blur = [=](Picture& p, auto run) {
             for (std::size_t i = 0; i < p.size(); ++i)
                 if ((*holes)[i] % 6 == 0) p[i] &= ~GREEN_BYTE;
             run(p.data(), w, h, passes);
         };
         return Trial{list({double(w), double(h), double(passes)}),
                      [=](Picture& p) { blur(p, blurBuffer); },
                      [=](Picture& p) { blur(p, reference::blurBuffer); }};
     }},
    {"zoomBlur", 40, [](std::mt19937& r, bool show) {
         const int x = show ? between(r, 100, 300) : between(r, -100, 620);
         const int y = show ? between(r, 100, 300) : between(r, -100, 500);
         const int strength = show ? 4000 : between(r, -70000, 140000), weight = between(r, 0, 600);
         return Trial{list({double(x), double(y), double(strength), double(weight)}),
                      [=](Picture& p) { zoomBlur(p.data(), x, y, strength, weight); },
                      [=](Picture& p) { reference::zoomBlur(p.data(), x, y, strength, weight); }};
     }},
    {"addSplitPicture", 60, [](std::mt19937& r, bool show) {
         const int w = between(r, 1, 420), h = between(r, 1, 170);
         const int x = between(r, -450, 520), y = between(r, -180, 400);
         const int split = show ? between(r, 0, 4) : between(r, -300, 300), darken = between(r, -300, 600);
         const auto s = randomSource(r, static_cast<std::size_t>(w) * h);
         for (std::uint32_t& v : *s)   // a third with red at most 7: transparent where both copies are
             if (v % 3 == 0) v &= 0xFF07FFFF;
         return Trial{list({double(w), double(h), double(x), double(y), double(split), double(darken)}),
                      [=](Picture& p) { addSplitPicture(p.data(), s->data(), w, h, x, y, split, darken); },
                      [=](Picture& p) { reference::addSplitPicture(p.data(), s->data(), w, h, x, y, split, darken); }};
     }},
    {"addScaledPicture", 60, [](std::mt19937& r, bool show) {
         const int w = show ? 1260 : between(r, 1, 600), h = show ? 70 : between(r, 1, 400);
         const int x = between(r, -300, 520), y = show ? 157 : between(r, -200, 400);
         const float stepX = show ? 1.0f : static_cast<float>(between(r, 50, 300)) / 100.0f;
         const float stepY = static_cast<float>(between(r, show ? 70 : 50, show ? 119 : 300)) / 100.0f;
         const int trim = show ? 0 : between(r, -5, 250), band = show ? 1 : between(r, 0, 2);
         const auto s = randomSource(r, static_cast<std::size_t>(w) * h);
         return Trial{list({double(w), double(h), double(x), double(y), stepX, stepY, double(trim), double(band)}),
                      [=](Picture& p) { addScaledPicture(p.data(), s->data(), w, h, x, y, stepX, stepY, trim, band); },
                      [=](Picture& p) {
                          reference::addScaledPicture(p.data(), s->data(), w, h, x, y, stepX, stepY, trim, band);
                      }};
     }},
    {"wobbleRows", 20, [](std::mt19937& r, bool show) {
         for (int y = 0; y < 384; ++y) rowWobble[y] = between(r, -6, 6);
         const float amplitude = static_cast<float>(between(r, show ? 0 : -2000, 10000)) / 100.0f;
         const auto s = randomSource(r, PICTURE_PIXELS);
         return Trial{list({amplitude}), [=](Picture& p) { wobbleRows(s->data(), p.data(), amplitude); },
                      [=](Picture& p) { reference::wobbleRows(rowWobble, s->data(), p.data(), amplitude); }};
     }},
};

TEST_F(PackedEffects, MatchThePlainPerPixelVersions)
{
    std::mt19937 random(2024);
    forEachKernelSet([&] {
        for (const Effect& e : effects)
            for (int round = 0; round < e.rounds; ++round) {
                const Trial trial = e.draw(random, round % 2 == 0);
                Picture fast = noise(PICTURE_PIXELS, random), plain = fast;
                trial.fast(fast);
                trial.plain(plain);
                ASSERT_TRUE(fast == plain) << e.name << " with " << trial.arguments;
            }
    });
}

}  // namespace
