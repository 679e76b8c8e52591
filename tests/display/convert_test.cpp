#include <gtest/gtest.h>

#include <vector>

#include "display/convert.h"

namespace {

struct ConverterCase {
    const char* name;
    PixelConverter converter;
    int bytes;
    std::uint32_t bits, red, green, blue;
    // Expected output for 0x7FFF8040 and for white, little-endian bytes;
    // only the word copy keeps the top byte.
    std::vector<unsigned char> sample, white;
};

const ConverterCase CASES[] = {
    {"copyRow32", copyRow32, 4, 32, 0xFF0000, 0xFF00, 0xFF, {0x40, 0x80, 0xFF, 0x7F}, {0xFF, 0xFF, 0xFF, 0x00}},
    {"convertRow32Bgr", convertRow32Bgr, 4, 32, 0xFF, 0xFF00, 0xFF0000, {0xFF, 0x80, 0x40, 0x00}, {0xFF, 0xFF, 0xFF, 0x00}},
    {"convertRow24", convertRow24, 3, 24, 0xFF0000, 0xFF00, 0xFF, {0x40, 0x80, 0xFF}, {0xFF, 0xFF, 0xFF}},
    {"convertRow24Bgr", convertRow24Bgr, 3, 24, 0xFF, 0xFF00, 0xFF0000, {0xFF, 0x80, 0x40}, {0xFF, 0xFF, 0xFF}},
    {"convertRow565", convertRow565, 2, 16, 0xF800, 0x7E0, 0x1F, {0x08, 0xFC}, {0xFF, 0xFF}},
    {"convertRow565Bgr", convertRow565Bgr, 2, 16, 0x1F, 0x7E0, 0xF800, {0x1F, 0x44}, {0xFF, 0xFF}},
    {"convertRow555", convertRow555, 2, 16, 0x7C00, 0x3E0, 0x1F, {0x08, 0x7E}, {0xFF, 0x7F}},
    {"convertRow555Bgr", convertRow555Bgr, 2, 16, 0x1F, 0x3E0, 0x7C00, {0x1F, 0x22}, {0xFF, 0x7F}},
};

}  // namespace

TEST(PixelConverters, GiveTheDisplayValuesOfOrangeAndWhite)
{
    const std::uint32_t source[2] = {0x7FFF8040, 0x00FFFFFF};
    for (const ConverterCase& c : CASES) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> out(2 * c.bytes + 4, 0xAA);
        c.converter(source, out.data(), 2);
        EXPECT_EQ(std::vector<unsigned char>(out.begin(), out.begin() + c.bytes), c.sample);
        EXPECT_EQ(std::vector<unsigned char>(out.begin() + c.bytes, out.begin() + 2 * c.bytes), c.white);
        // Nothing past the last pixel is written, nothing at all for count 0.
        EXPECT_EQ(out[2 * c.bytes], 0xAA);
        c.converter(source, out.data() + 2 * c.bytes, 0);
        EXPECT_EQ(out[2 * c.bytes], 0xAA);
    }
}

TEST(ChoosePixelConverter, MatchesEveryRowExactlyAndNothingElse)
{
    for (const ConverterCase& c : CASES)
        EXPECT_EQ(choosePixelConverter(c.bits, c.red, c.green, c.blue), c.converter) << c.name;
    struct Format {
        std::uint32_t bits, red, green, blue;
    };
    const Format others[] = {
        {16, 0xF00, 0xF0, 0xF},               // 4-4-4
        {15, 0x7C00, 0x3E0, 0x1F},            // 555 reported as 15 bits
        {32, 0x3FF00000, 0xFFC00, 0x3FF},     // 10-bit channels
        {24, 0xF800, 0x7E0, 0x1F},            // 565 masks at 24 bits
        {8, 0xE0, 0x1C, 0x3},
        {32, 0xFF0000, 0xFF, 0xFF00},         // green and blue swapped
    };
    for (const Format& f : others)
        EXPECT_EQ(choosePixelConverter(f.bits, f.red, f.green, f.blue), nullptr) << f.bits << " bits";
}
