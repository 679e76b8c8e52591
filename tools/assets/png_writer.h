#pragma once
#include <cstdint>
#include <string>

// Writes 32-bit pictures (0x00RRGGBB, top byte ignored) as 8-bit RGB PNG
// files, for captured frames and contact sheets. Same pixels, same bytes.

// Writes width x height pixels, row after row, to path. Returns false with a
// message naming the file in error when the size is not positive or the file
// cannot be written.
bool writePng(const std::string& path, const std::uint32_t* pixels, int width, int height,
              std::string& error);
