#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "display/pixel.h"

// Pictures as the byte rows the image encoders take: red, green, blue for
// each 0x00RRGGBB pixel; the top byte is dropped.
inline std::vector<unsigned char> rgbBytesOf(const std::uint32_t* pixels, std::size_t count)
{
    std::vector<unsigned char> rgb(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        rgb[i * 3] = static_cast<unsigned char>(redOf(pixels[i]));
        rgb[i * 3 + 1] = static_cast<unsigned char>(greenOf(pixels[i]));
        rgb[i * 3 + 2] = static_cast<unsigned char>(blueOf(pixels[i]));
    }
    return rgb;
}
