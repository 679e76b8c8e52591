#include "image/picture.h"

#include <errno.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "image/jpeg_errors.h"

#include <jerror.h>

namespace {

std::string dataDir = "data";

void defaultFailure(const std::string& message)
{
    std::fputs(message.c_str(), stderr);
    std::exit(1);
}

void defaultWarning(const std::string& message)
{
    std::fprintf(stderr, "%s: warning: %s\n", program_invocation_short_name, message.c_str());
}

PictureFailureHandler failureHandler = defaultFailure;
PictureWarningHandler warningHandler = defaultWarning;
std::set<std::string> warnedFiles;

enum class Decode { OK, FAILED, WRONG_SIZE };

// What the decoding found, kept apart from C++ objects with destructors so
// that libjpeg's error jump skips none.
struct DecodeResult {
    int width;    // from the header
    int height;
    char reason[JMSG_LENGTH_MAX + 1];    // libjpeg's error
    char warning[JMSG_LENGTH_MAX + 1];   // libjpeg's first warning
    int warningCode;
};

// Reads the header, refuses a size other than the one wanted before any
// pixel memory is taken, then decodes into out. Without keepPixels only the
// width and height are set: the file is decoded at an eighth of its size and
// the rows dropped, which still reads every bit of it (so damage is found)
// for a fraction of the work.
Decode decodeFile(std::FILE* file, int wantWidth, int wantHeight, bool keepPixels,
                  DecodedPicture& out, DecodeResult& result)
{
    jpeg_decompress_struct info;
    JpegErrors errors;
    info.err = useJpegErrors(errors);
    if (setjmp(errors.jump)) {
        std::snprintf(result.reason, sizeof result.reason, "%s", errors.text);
        jpeg_destroy_decompress(&info);
        return Decode::FAILED;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    const int width = static_cast<int>(info.image_width);
    const int height = static_cast<int>(info.image_height);
    result.width = width;
    result.height = height;
    const bool tooLarge = std::int64_t{width} * height > MAX_PICTURE_PIXELS;
    if ((wantWidth > 0 && (width != wantWidth || height != wantHeight)) ||
        (wantWidth <= 0 && tooLarge)) {
        jpeg_destroy_decompress(&info);
        return Decode::WRONG_SIZE;
    }
    info.out_color_space = JCS_RGB;   // grey and YCbCr files alike come out as RGB
    if (!keepPixels) {
        info.scale_num = 1;
        info.scale_denom = 8;
    }
    jpeg_start_decompress(&info);
    out.width = width;
    out.height = height;
    if (keepPixels) out.pixels.assign(static_cast<std::size_t>(width) * height, 0);
    // The row lives in libjpeg's pool, so an error jump leaks nothing.
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               info.output_width * 3, 1);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        if (jpeg_read_scanlines(&info, row, 1) != 1) break;
        if (!keepPixels) continue;
        std::uint32_t* target = out.pixels.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            const unsigned char* s = &row[0][static_cast<std::size_t>(x) * 3];
            target[x] = (std::uint32_t{s[0]} << 16) | (std::uint32_t{s[1]} << 8) | s[2];
        }
    }
    jpeg_finish_decompress(&info);
    std::snprintf(result.warning, sizeof result.warning, "%s", errors.warning);
    result.warningCode = errors.warningCode;
    jpeg_destroy_decompress(&info);
    return Decode::OK;
}

std::string sizeText(int width, int height)
{
    return std::to_string(width) + "x" + std::to_string(height);
}

void warnOnce(const std::string& file, const std::string& warning)
{
    if (warning.empty() || !warnedFiles.insert(file).second) return;
    warningHandler(warning);
}

// decodeJpeg, with the pixels kept or only checked (see decodeFile).
bool readJpeg(const std::string& path, bool keepPixels, DecodedPicture& out, std::string& error,
              int expectedWidth, int expectedHeight)
{
    out = DecodedPicture{};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = path + ": cannot open the file (" + std::strerror(errno) + ")";
        return false;
    }
    struct stat status;
    if (fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode)) {
        std::fclose(file);
        error = path + ": is a directory, not a picture";
        return false;
    }
    DecodeResult result{};
    const Decode decoded = decodeFile(file, expectedWidth, expectedHeight, keepPixels, out, result);
    std::fclose(file);
    if (decoded == Decode::OK) {
        if (result.warningCode == JWRN_JPEG_EOF)
            out.warning = path + ": the file ends early (libjpeg: " + result.warning +
                          "); the rest of the picture is grey";
        else if (result.warning[0])
            out.warning = path + ": damaged picture data (libjpeg: " + result.warning +
                          "); the picture may show it";
        return true;
    }
    if (decoded == Decode::FAILED)
        error = path + ": not a readable JPEG picture (libjpeg: " + result.reason + ")";
    else if (expectedWidth > 0)
        error = path + ": the picture is " + sizeText(result.width, result.height) +
                ", the show needs " + sizeText(expectedWidth, expectedHeight);
    else
        error = path + ": the picture is " + sizeText(result.width, result.height) +
                ", more than the " + std::to_string(MAX_PICTURE_PIXELS) +
                " pixels a picture may have";
    out = DecodedPicture{};
    return false;
}

}  // namespace

bool decodeJpeg(const std::string& path, DecodedPicture& out, std::string& error,
                int expectedWidth, int expectedHeight)
{
    return readJpeg(path, true, out, error, expectedWidth, expectedHeight);
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

void failPicture(const std::string& file, const std::string& reasons)
{
    failureHandler("Couldn\u00B4t load " + file + " file\n" + reasons + "\n");
}

void setPictureWarningHandler(PictureWarningHandler handler)
{
    warningHandler = handler ? handler : defaultWarning;
    warnedFiles.clear();
}

int loadPicture(const char* path, std::uint32_t* pixels, int width, int height)
{
    const std::string file = dataPath(path);
    DecodedPicture picture;
    std::string error;
    if (!decodeJpeg(file, picture, error, width, height)) {
        failPicture(file, error);
        return 0;
    }
    warnOnce(file, picture.warning);
    std::copy(picture.pixels.begin(), picture.pixels.end(), pixels);
    return 1;
}

int checkPicture(const char* path, int width, int height, std::string& problem)
{
    const std::string file = dataPath(path);
    DecodedPicture picture;
    if (!readJpeg(file, false, picture, problem, width, height)) return 0;
    problem.clear();
    warnOnce(file, picture.warning);
    return 1;
}
