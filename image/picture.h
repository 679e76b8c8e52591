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
    // Set when the file decoded but not cleanly (cut short, damaged data):
    // one line naming the file, with libjpeg's words. Empty otherwise.
    std::string warning;
};

// The most pixels decodeJpeg takes from a file when the caller names no size
// (4096x4096): far above any picture of the show, far below what a forged
// header can claim (65500x65500 would be 16 GB of pixels).
constexpr std::int64_t MAX_PICTURE_PIXELS = std::int64_t{1} << 24;

// Decodes a whole file. The size in the file's header is checked before
// anything is allocated for its pixels: with expectedWidth and expectedHeight
// (both above 0) a file of any other size is refused; without them, one of
// more than MAX_PICTURE_PIXELS. On failure returns false, leaves out empty
// and puts a one-line reason in error, naming the file and saying what is
// wrong (libjpeg's own reason in brackets where it gives one).
bool decodeJpeg(const std::string& path, DecodedPicture& out, std::string& error,
                int expectedWidth = 0, int expectedHeight = 0);

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

// Hands "Couldn´t load <file> file\n<reasons>\n" to the failure handler:
// the way every picture failure ends the program.
void failPicture(const std::string& file, const std::string& reasons);

// Called with the warning line (no line feed) when a picture loads but not
// cleanly, once per file: the check at start-up and the load that follows it
// do not repeat it. The default writes "<program>: warning: <line>" to
// standard error. Setting a handler forgets which files were warned about.
using PictureWarningHandler = void (*)(const std::string& message);
void setPictureWarningHandler(PictureWarningHandler handler);

// Loads the picture at path (a show path such as "data/gfx/pic01.jpg") into
// pixels, a buffer of exactly width x height. A file that cannot be read, or
// whose size differs, goes to the failure handler and the program ends; the
// message's first line is "Couldn´t load <file> file", the second says why.
// A file that decodes with damage is loaded as decoded and warned about.
// Returns 1 (0 only when a test's failure handler returns).
int loadPicture(const char* path, std::uint32_t* pixels, int width, int height);

// Reads the picture at path through as loadPicture would, without keeping
// its pixels (it is decoded at an eighth of its size, which still reads every
// bit of the file). Returns 1 when it would load at width x height;
// otherwise 0, with problem holding the one-line reason that names the file.
// Damage is warned about as loadPicture does.
int checkPicture(const char* path, int width, int height, std::string& problem);
