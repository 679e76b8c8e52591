#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <jpeglib.h>
#include <string>
#include <vector>

#include "image/picture.h"
#include "tests/files.h"
#include "tools/assets/jpeg_writer.h"

namespace {

std::string tempPath(const std::string& name)
{
    return (std::filesystem::temp_directory_path() / ("quorvane_picture_" + name)).string();
}

// Writes a lossless-enough JPEG of a flat picture: grey (one channel) or RGB.
void writeFlatJpeg(const std::string& path, int width, int height, int channels,
                   const unsigned char* colour)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    jpeg_stdio_dest(&info, file);
    info.image_width = width;
    info.image_height = height;
    info.input_components = channels;
    info.in_color_space = channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * channels);
    for (int x = 0; x < width; ++x)
        for (int c = 0; c < channels; ++c) row[x * channels + c] = colour[c];
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(file);
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}


// A picture of varied pixels, so that its data runs over the whole file.
void writeNoisyJpeg(const std::string& path, int width, int height)
{
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    std::uint32_t seed = 12345;
    for (std::uint32_t& p : pixels) p = (seed = seed * 1103515245u + 12345u) >> 8;
    std::string error;
    ASSERT_TRUE(writeJpeg(path, pixels.data(), width, height, error)) << error;
}

// A small real JPEG whose frame header is rewritten to claim 65500x65500.
void writeHugeHeaderJpeg(const std::string& path)
{
    writeNoisyJpeg(path, 16, 16);
    std::string bytes = readFile(path);
    const std::size_t sof = bytes.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    for (std::size_t at : {sof + 5, sof + 7}) {   // height, then width, big-endian
        bytes[at] = static_cast<char>(65500 >> 8);
        bytes[at + 1] = static_cast<char>(65500 & 0xFF);
    }
    writeBytes(path, bytes);
}

// Caps this process's address space at room bytes above its present size.
void capAddressSpace(long room)
{
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t cap = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + room;
    const rlimit limit{cap, cap};
    if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(5);
}

std::vector<std::string> warnings;
void keepWarning(const std::string& message)
{
    warnings.push_back(message);
}

}  // namespace

TEST(DecodeJpeg, GreyFilesGiveEqualChannelsAndTopByteZero)
{
    const std::string path = tempPath("grey.jpg");
    const unsigned char grey[1] = {200};
    writeFlatJpeg(path, 16, 8, 1, grey);
    DecodedPicture picture;
    std::string error;
    ASSERT_TRUE(decodeJpeg(path, picture, error)) << error;
    EXPECT_EQ(picture.width, 16);
    EXPECT_EQ(picture.height, 8);
    for (std::uint32_t p : picture.pixels) ASSERT_EQ(p, 0x00C8C8C8u);
}

TEST(DecodeJpeg, OddWidthsKeepTheirRowsApart)
{
    // 13 pixels a row: rows of 39 bytes that a 4-byte-aligned reading would skew.
    const std::string path = tempPath("odd.jpg");
    const unsigned char colour[3] = {255, 0, 0};
    writeFlatJpeg(path, 13, 5, 3, colour);
    DecodedPicture picture;
    std::string error;
    ASSERT_TRUE(decodeJpeg(path, picture, error)) << error;
    ASSERT_EQ(picture.pixels.size(), 65u);
    for (std::uint32_t p : picture.pixels) {
        EXPECT_GE((p >> 16) & 0xFF, 250u);
        EXPECT_LE(p & 0xFFFF, 0x0404u);
        EXPECT_EQ(p >> 24, 0u);
    }
}

TEST(DecodeJpeg, NamesTheFileAndSaysWhatIsWrong)
{
    const std::string dir = tempPath("dir.jpg");
    std::filesystem::create_directories(dir);
    writeBytes(tempPath("empty.jpg"), "");
    writeBytes(tempPath("text.jpg"), "not a picture at all");
    const struct {
        std::string path;
        std::string error;
    } cases[] = {
        {tempPath("missing.jpg"), ": cannot open the file (No such file or directory)"},
        {dir, ": is a directory, not a picture"},
        {tempPath("empty.jpg"), ": not a readable JPEG picture (libjpeg: Empty input file)"},
        {tempPath("text.jpg"),
         ": not a readable JPEG picture (libjpeg: Not a JPEG file: starts with 0x6e 0x6f)"},
    };
    for (const auto& c : cases) {
        DecodedPicture picture;
        picture.width = 7;
        std::string error;
        EXPECT_FALSE(decodeJpeg(c.path, picture, error));
        EXPECT_EQ(error, c.path + c.error);
        EXPECT_EQ(picture.width, 0);
        EXPECT_TRUE(picture.pixels.empty());
    }
}

// A header that claims 65500x65500 would take 16 GB of pixels: it must be
// refused from the header alone. The child process runs with its address
// space capped at 256 MB above what it already has, so any allocation for
// the claimed size fails there and the child dies of it.
TEST(LoadPictureDeathTest, AHugeHeaderIsRefusedWithoutAllocatingForIt)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves more address space than the cap allows";
#endif
    const std::string path = tempPath("huge.jpg");
    writeHugeHeaderJpeg(path);
    setDataDirectory(std::filesystem::temp_directory_path().string());
    auto decodeUnderCap = [&] {
        capAddressSpace(256L << 20);
        DecodedPicture picture;
        std::string error;
        // Without a size named, the general cap refuses it.
        if (decodeJpeg(path, picture, error) ||
            error != path + ": the picture is 65500x65500, more than the 16777216 pixels a "
                            "picture may have")
            _exit(3);
        loadPicture("data/quorvane_picture_huge.jpg", nullptr, 512, 384);
        _exit(4);
    };
    EXPECT_EXIT(decodeUnderCap(), ::testing::ExitedWithCode(1),
                "^Couldn\u00B4t load .*huge.jpg file\n.*huge.jpg: the picture is 65500x65500, "
                "the show needs 512x384\n$");
}

TEST(LoadPicture, AFileCutShortLoadsWithOneWarningNamingIt)
{
    setDataDirectory(std::filesystem::temp_directory_path().string());
    const std::string path = tempPath("cut.jpg");
    writeNoisyJpeg(path, 64, 64);
    std::string bytes = readFile(path);
    writeBytes(path, bytes.substr(0, bytes.size() / 2));

    DecodedPicture picture;
    std::string error;
    ASSERT_TRUE(decodeJpeg(path, picture, error)) << error;
    EXPECT_EQ(picture.warning, path + ": the file ends early (libjpeg: Premature end of JPEG "
                                      "file); the rest of the picture is grey");
    EXPECT_EQ(picture.pixels.back(), 0x00808080u);   // the lost part decodes as mid-grey

    warnings.clear();
    setPictureWarningHandler(keepWarning);
    std::vector<std::uint32_t> pixels(64 * 64);
    EXPECT_EQ(loadPicture("data/quorvane_picture_cut.jpg", pixels.data(), 64, 64), 1);
    EXPECT_EQ(loadPicture("data/quorvane_picture_cut.jpg", pixels.data(), 64, 64), 1);
    setPictureWarningHandler(nullptr);
    EXPECT_EQ(warnings, std::vector<std::string>{picture.warning});   // once, not per load
}

TEST(LoadPicture, FillsABufferOfExactlyTheFileSize)
{
    setDataDirectory(std::filesystem::temp_directory_path().string());
    const unsigned char colour[3] = {0, 0, 255};
    writeFlatJpeg(tempPath("blue.jpg"), 8, 4, 3, colour);
    std::vector<std::uint32_t> pixels(8 * 4 + 1, 0xDEADBEEF);
    EXPECT_EQ(loadPicture("data/quorvane_picture_blue.jpg", pixels.data(), 8, 4), 1);
    EXPECT_GE(pixels[31] & 0xFF, 250u);
    EXPECT_EQ(pixels[32], 0xDEADBEEFu);   // one past the picture stays untouched
}

TEST(LoadPictureDeathTest, AMissingFileOrOneOfAnotherSizeEndsTheProgramNamingIt)
{
    setDataDirectory(std::filesystem::temp_directory_path().string());
    const unsigned char colour[3] = {9, 9, 9};
    writeFlatJpeg(tempPath("big.jpg"), 64, 32, 3, colour);
    std::vector<std::uint32_t> pixels(16 * 16);
    EXPECT_EXIT(loadPicture("data/quorvane_picture_nowhere.jpg", pixels.data(), 16, 16),
                ::testing::ExitedWithCode(1),
                "^Couldn\u00B4t load .*quorvane_picture_nowhere.jpg file\n"
                ".*nowhere.jpg: cannot open the file \\(No such file or directory\\)\n$");
    // Larger than the buffer: rejected before a pixel is written.
    EXPECT_EXIT(loadPicture("data/quorvane_picture_big.jpg", pixels.data(), 16, 16),
                ::testing::ExitedWithCode(1),
                "^Couldn\u00B4t load .*big.jpg file\n.*big.jpg: the picture is 64x32, the "
                "show needs 16x16\n$");
}
