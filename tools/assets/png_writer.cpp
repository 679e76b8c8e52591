#include "tools/assets/png_writer.h"

#include <csetjmp>
#include <cstdio>
#include <vector>
#include <png.h>

#include "tools/assets/rgb_bytes.h"

namespace {

void onPngError(png_structp png, png_const_charp message)
{
    auto* reason = static_cast<std::string*>(png_get_error_ptr(png));
    if (reason) *reason = message;
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

// Kept free of C++ objects with destructors between setjmp and the jump.
bool encode(std::FILE* file, const unsigned char* rgb, int width, int height, std::string* reason)
{
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, reason, onPngError, onPngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
        png_write_row(png, rgb + static_cast<std::size_t>(y) * width * 3);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePng(const std::string& path, const std::uint32_t* pixels, int width, int height,
              std::string& error)
{
    if (width <= 0 || height <= 0 || width > 1000000 || height > 1000000) {
        error = path + ": cannot write a " + std::to_string(width) + "x" + std::to_string(height) +
                " PNG picture";
        return false;
    }
    const std::vector<unsigned char> rgb =
        rgbBytesOf(pixels, static_cast<std::size_t>(width) * height);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = path + ": cannot open the file for writing";
        return false;
    }
    std::string reason;
    bool ok = encode(file, rgb.data(), width, height, &reason);
    if (std::fclose(file) != 0) ok = false;
    if (!ok) error = path + ": PNG writing failed" + (reason.empty() ? "" : " (" + reason + ")");
    return ok;
}
