#pragma once
#include <cstdint>
#include <string>

// Writes 32-bit pictures (0x00RRGGBB, top byte ignored) as baseline JPEG
// files. The same pixels always give the same bytes: fixed quality, no
// chroma subsampling (so bright lettering on black keeps clean edges), the
// exact integer DCT and no time stamps.

constexpr int JPEG_QUALITY = 92;

// Writes width x height pixels to path. Returns false with a message naming
// the file in error when the size is not positive or the file cannot be
// written.
bool writeJpeg(const std::string& path, const std::uint32_t* pixels, int width, int height,
               std::string& error);
