#pragma once
#include <cstdint>
#include <string>
#include <vector>

// JPEG files to 32-bit pictures (0x00RRGGBB, top byte 0). Grey files give
// three equal channels. Knows nothing of the show.

struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;   // width * height, row after row
};

// Decodes a whole file. On failure returns false and puts a one-line reason
// (naming the file) in error.
bool decodeJpeg(const std::string& path, DecodedPicture& out, std::string& error);

// Where the show's "data/..." paths point. By default "data" under the
// working directory.
void setDataDirectory(const std::string& directory);
const std::string& dataDirectory();
// Maps a path starting with "data/" onto the data directory; others unchanged.
std::string dataPath(const char* path);

// Called with the message when a picture cannot be loaded; it must end the
// program. The default writes the message to standard error and exits with
// status 1.
using PictureFailureHandler = void (*)(const std::string& message);
void setPictureFailureHandler(PictureFailureHandler handler);

// Loads the picture at path (a show path such as "data/gfx/pic01.jpg") into
// pixels, a buffer of exactly width x height. A file that cannot be read, or
// whose size differs, goes to the failure handler and the program ends.
// Returns 1.
int loadPicture(const char* path, std::uint32_t* pixels, int width, int height);
