#include "tools/assets/jpeg_writer.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "image/jpeg_errors.h"
#include "tools/assets/rgb_bytes.h"

namespace {

// Compresses into a buffer that libjpeg allocates; the caller frees it. Kept
// free of C++ objects so the error jump skips no destructor.
bool compress(const unsigned char* rgb, int width, int height, unsigned char** bytes,
              unsigned long* size, char* reason, std::size_t reasonSize)
{
    jpeg_compress_struct info;
    JpegErrors errors;
    info.err = useJpegErrors(errors);
    if (setjmp(errors.jump)) {
        std::snprintf(reason, reasonSize, "%s", errors.text);
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, bytes, size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, JPEG_QUALITY, TRUE);
    info.dct_method = JDCT_ISLOW;
    info.optimize_coding = TRUE;
    info.write_JFIF_header = TRUE;
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row[1] = {const_cast<unsigned char*>(
            rgb + static_cast<std::size_t>(info.next_scanline) * width * 3)};
        jpeg_write_scanlines(&info, row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

bool writeJpeg(const std::string& path, const std::uint32_t* pixels, int width, int height,
               std::string& error)
{
    if (width <= 0 || height <= 0 || width > 65500 || height > 65500) {
        error = path + ": cannot write a " + std::to_string(width) + "x" + std::to_string(height) +
                " JPEG picture";
        return false;
    }
    const std::vector<unsigned char> rgb =
        rgbBytesOf(pixels, static_cast<std::size_t>(width) * height);
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    char reason[JMSG_LENGTH_MAX + 1] = "";
    if (!compress(rgb.data(), width, height, &bytes, &size, reason, sizeof reason)) {
        std::free(bytes);
        error = path + ": JPEG compression failed (" + reason + ")";
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool ok = file != nullptr;
    if (ok) ok = std::fwrite(bytes, 1, size, file) == size;
    if (file && std::fclose(file) != 0) ok = false;
    std::free(bytes);
    if (!ok) error = path + ": cannot write the file";
    return ok;
}
