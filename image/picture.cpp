#include "image/picture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "image/jpeg_errors.h"

namespace {

std::string dataDir = "data";

void defaultFailure(const std::string& message)
{
    std::fputs(message.c_str(), stderr);
    std::exit(1);
}

PictureFailureHandler failureHandler = defaultFailure;

// Decodes into out; the libjpeg state is kept apart from C++ objects so the
// error jump skips no destructor.
bool decodeFile(std::FILE* file, DecodedPicture& out, char* reason, std::size_t reasonSize)
{
    jpeg_decompress_struct info;
    JpegErrors errors;
    info.err = useJpegErrors(errors);
    if (setjmp(errors.jump)) {
        std::snprintf(reason, reasonSize, "%s", errors.text);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;   // grey and YCbCr files alike come out as RGB
    jpeg_start_decompress(&info);
    const int width = static_cast<int>(info.output_width);
    const int height = static_cast<int>(info.output_height);
    out.width = width;
    out.height = height;
    out.pixels.assign(static_cast<std::size_t>(width) * height, 0);
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        std::uint32_t* target = out.pixels.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            const unsigned char* s = &row[static_cast<std::size_t>(x) * 3];
            target[x] = (std::uint32_t{s[0]} << 16) | (std::uint32_t{s[1]} << 8) | s[2];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

bool decodeJpeg(const std::string& path, DecodedPicture& out, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = path + ": cannot open the file";
        return false;
    }
    char reason[JMSG_LENGTH_MAX + 1] = "";
    const bool ok = decodeFile(file, out, reason, sizeof reason);
    std::fclose(file);
    if (!ok) {
        error = path + ": not a readable JPEG picture (" + reason + ")";
        out = DecodedPicture{};
    }
    return ok;
}

void setDataDirectory(const std::string& directory)
{
    dataDir = directory;
}

const std::string& dataDirectory()
{
    return dataDir;
}

std::string dataPath(const char* path)
{
    const std::string p = path;
    if (p.rfind("data/", 0) == 0) return dataDir + p.substr(4);
    return p;
}

void setPictureFailureHandler(PictureFailureHandler handler)
{
    failureHandler = handler ? handler : defaultFailure;
}

int loadPicture(const char* path, std::uint32_t* pixels, int width, int height)
{
    const std::string file = dataPath(path);
    DecodedPicture picture;
    std::string error;
    if (!decodeJpeg(file, picture, error)) {
        failureHandler("Couldn\u00B4t load " + file + " file\n");
        return 0;
    }
    if (picture.width != width || picture.height != height) {
        failureHandler("Couldn\u00B4t load " + file + " file: the picture is " +
                       std::to_string(picture.width) + "x" + std::to_string(picture.height) +
                       ", the show needs " + std::to_string(width) + "x" +
                       std::to_string(height) + "\n");
        return 0;
    }
    std::copy(picture.pixels.begin(), picture.pixels.end(), pixels);
    return 1;
}
