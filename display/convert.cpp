#include "display/convert.h"

#include <cstring>

#include "display/pixel.h"

namespace {

inline void store16(void* target, std::int32_t i, std::uint16_t value)
{
    std::memcpy(static_cast<unsigned char*>(target) + 2 * i, &value, 2);
}

inline void store32(void* target, std::int32_t i, std::uint32_t value)
{
    std::memcpy(static_cast<unsigned char*>(target) + 4 * i, &value, 4);
}

}  // namespace

void copyRow32(const std::uint32_t* source, void* target, std::int32_t count)
{
    if (count > 0) std::memcpy(target, source, static_cast<std::size_t>(count) * 4);
}

void convertRow32Bgr(const std::uint32_t* source, void* target, std::int32_t count)
{
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint32_t p = source[i];
        store32(target, i, packRgb(blueOf(p), greenOf(p), redOf(p)));
    }
}

void convertRow24(const std::uint32_t* source, void* target, std::int32_t count)
{
    auto* out = static_cast<unsigned char*>(target);
    for (std::int32_t i = 0; i < count; ++i, out += 3) {
        const std::uint32_t p = source[i];
        out[0] = static_cast<unsigned char>(blueOf(p));
        out[1] = static_cast<unsigned char>(greenOf(p));
        out[2] = static_cast<unsigned char>(redOf(p));
    }
}

void convertRow24Bgr(const std::uint32_t* source, void* target, std::int32_t count)
{
    auto* out = static_cast<unsigned char*>(target);
    for (std::int32_t i = 0; i < count; ++i, out += 3) {
        const std::uint32_t p = source[i];
        out[0] = static_cast<unsigned char>(redOf(p));
        out[1] = static_cast<unsigned char>(greenOf(p));
        out[2] = static_cast<unsigned char>(blueOf(p));
    }
}

void convertRow565(const std::uint32_t* source, void* target, std::int32_t count)
{
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint32_t p = source[i];
        store16(target, i, static_cast<std::uint16_t>(((redOf(p) >> 3) << 11) |
                                                      ((greenOf(p) >> 2) << 5) | (blueOf(p) >> 3)));
    }
}

void convertRow565Bgr(const std::uint32_t* source, void* target, std::int32_t count)
{
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint32_t p = source[i];
        store16(target, i, static_cast<std::uint16_t>(((blueOf(p) >> 3) << 11) |
                                                      ((greenOf(p) >> 2) << 5) | (redOf(p) >> 3)));
    }
}

void convertRow555(const std::uint32_t* source, void* target, std::int32_t count)
{
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint32_t p = source[i];
        store16(target, i, static_cast<std::uint16_t>(((redOf(p) >> 3) << 10) |
                                                      ((greenOf(p) >> 3) << 5) | (blueOf(p) >> 3)));
    }
}

void convertRow555Bgr(const std::uint32_t* source, void* target, std::int32_t count)
{
    for (std::int32_t i = 0; i < count; ++i) {
        const std::uint32_t p = source[i];
        store16(target, i, static_cast<std::uint16_t>(((blueOf(p) >> 3) << 10) |
                                                      ((greenOf(p) >> 3) << 5) | (redOf(p) >> 3)));
    }
}

PixelConverter choosePixelConverter(std::uint32_t bitCount, std::uint32_t redMask,
                                    std::uint32_t greenMask, std::uint32_t blueMask)
{
    struct Row {
        std::uint32_t bits, red, green, blue;
        PixelConverter converter;
    };
    static constexpr Row rows[] = {
        {32, 0xFF0000, 0xFF00, 0xFF, copyRow32},
        {32, 0xFF, 0xFF00, 0xFF0000, convertRow32Bgr},
        {24, 0xFF0000, 0xFF00, 0xFF, convertRow24},
        {24, 0xFF, 0xFF00, 0xFF0000, convertRow24Bgr},
        {16, 0xF800, 0x7E0, 0x1F, convertRow565},
        {16, 0x1F, 0x7E0, 0xF800, convertRow565Bgr},
        {16, 0x7C00, 0x3E0, 0x1F, convertRow555},
        {16, 0x1F, 0x3E0, 0x7C00, convertRow555Bgr},
    };
    for (const Row& row : rows) {
        if (row.bits == bitCount && row.red == redMask && row.green == greenMask &&
            row.blue == blueMask)
            return row.converter;
    }
    return nullptr;
}
