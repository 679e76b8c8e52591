#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "display/pixel.h"
#include "display/screen.h"
#include "effects/simd.h"

// Shared set-up of the effect tests: the show's 512x384 geometry, pictures
// of exactly the size an operation may touch (so AddressSanitizer sees any
// stray access), and random test pictures from a fixed seed.

using Picture = std::vector<std::uint32_t>;

class EffectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setScreenSize(512, 384);
        buildRowOffsets();
    }
    void TearDown() override { allowAvx2(true); }
};

// A grey of the given level in every channel.
inline std::uint32_t grey(int level)
{
    return packRgb(level, level, level);
}

inline Picture filled(std::size_t pixels, std::uint32_t value)
{
    return Picture(pixels, value);
}

// Every byte random, the top byte included.
inline Picture noise(std::size_t pixels, std::mt19937& random)
{
    Picture p(pixels);
    for (std::uint32_t& v : p) v = static_cast<std::uint32_t>(random());
    return p;
}

inline int between(std::mt19937& random, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(random);
}

// Runs a check once with the AVX2 kernels (where the processor has them)
// and once with SSE2 only.
template <typename Check>
void forEachKernelSet(Check check)
{
    for (bool avx2 : {true, false}) {
        SCOPED_TRACE(avx2 ? "AVX2 where present" : "SSE2 only");
        allowAvx2(avx2);
        check();
    }
    allowAvx2(true);
}

// Pixels of the picture that differ from value.
inline std::size_t countOther(const Picture& p, std::uint32_t value)
{
    std::size_t n = 0;
    for (std::uint32_t v : p) n += v != value;
    return n;
}

// Pixel index in the 512-wide picture.
constexpr std::size_t at(int x, int y)
{
    return static_cast<std::size_t>(y) * 512 + static_cast<std::size_t>(x);
}
