#pragma once
#include <cstdint>

// Row converters from the program's 0x00RRGGBB pixels into a display's own
// format, and the choice among them. Channels are reduced by dropping their
// low bits; no dithering, no tables.

// Converts count pixels of source into the display row at target, which
// advances by the display's pixel size (4, 3 or 2 bytes). A count of 0
// writes nothing.
using PixelConverter = void (*)(const std::uint32_t* source, void* target, std::int32_t count);

void copyRow32(const std::uint32_t* source, void* target, std::int32_t count);
void convertRow32Bgr(const std::uint32_t* source, void* target, std::int32_t count);
void convertRow24(const std::uint32_t* source, void* target, std::int32_t count);
void convertRow24Bgr(const std::uint32_t* source, void* target, std::int32_t count);
void convertRow565(const std::uint32_t* source, void* target, std::int32_t count);
void convertRow565Bgr(const std::uint32_t* source, void* target, std::int32_t count);
void convertRow555(const std::uint32_t* source, void* target, std::int32_t count);
void convertRow555Bgr(const std::uint32_t* source, void* target, std::int32_t count);

// The converter whose bit count and three masks all match exactly, or
// nullptr. Bit count is the storage size of a pixel: 32, 24 or 16.
PixelConverter choosePixelConverter(std::uint32_t bitCount, std::uint32_t redMask,
                                    std::uint32_t greenMask, std::uint32_t blueMask);
