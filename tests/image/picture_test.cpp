#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <jpeglib.h>
#include <string>
#include <vector>

#include "image/picture.h"

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

TEST(DecodeJpeg, ReportsMissingAndBrokenFilesByName)
{
    DecodedPicture picture;
    std::string error;
    EXPECT_FALSE(decodeJpeg(tempPath("missing.jpg"), picture, error));
    EXPECT_NE(error.find("missing.jpg"), std::string::npos);
    const std::string broken = tempPath("broken.jpg");
    std::FILE* file = std::fopen(broken.c_str(), "wb");
    std::fputs("not a picture at all", file);
    std::fclose(file);
    EXPECT_FALSE(decodeJpeg(broken, picture, error));
    EXPECT_NE(error.find("broken.jpg"), std::string::npos);
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

TEST(LoadPictureDeathTest, AMissingFileEndsTheProgramWithItsName)
{
    setDataDirectory(std::filesystem::temp_directory_path().string());
    std::vector<std::uint32_t> pixels(16);
    EXPECT_EXIT(loadPicture("data/quorvane_picture_nowhere.jpg", pixels.data(), 4, 4),
                ::testing::ExitedWithCode(1), "Couldn\u00B4t load .*quorvane_picture_nowhere.jpg file");
}

TEST(LoadPictureDeathTest, AFileOfAnotherSizeIsRejectedNotOverflowed)
{
    setDataDirectory(std::filesystem::temp_directory_path().string());
    const unsigned char colour[3] = {9, 9, 9};
    writeFlatJpeg(tempPath("big.jpg"), 64, 32, 3, colour);
    std::vector<std::uint32_t> pixels(16 * 16);
    EXPECT_EXIT(loadPicture("data/quorvane_picture_big.jpg", pixels.data(), 16, 16),
                ::testing::ExitedWithCode(1), "big.jpg.*is 64x32, the show needs 16x16");
}
