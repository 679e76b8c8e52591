#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "tools/capture/frame_outputs.h"

namespace fs = std::filesystem;

namespace {

fs::path freshDirectory(const char* name)
{
    const fs::path dir = fs::temp_directory_path() /
                         ("quorvane-capture-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

TEST(FrameHash, WordsFoldInFnvOrder)
{
    EXPECT_EQ(hashFrameBytes(nullptr, 0), HASH_BASIS);
    // A word equal to the basis cancels it: (basis ^ basis) * prime = 0.
    const std::uint64_t basis = HASH_BASIS;
    EXPECT_EQ(hashFrameBytes(&basis, 8), 0u);
    // One byte 0x01 after that word: (0 ^ 1) * prime.
    unsigned char bytes[9];
    std::memcpy(bytes, &basis, 8);
    bytes[8] = 1;
    EXPECT_EQ(hashFrameBytes(bytes, 9), HASH_PRIME);
    EXPECT_EQ(foldFrameHash(HASH_BASIS, HASH_BASIS), 0u);
    EXPECT_EQ(foldFrameHash(0, 1), HASH_PRIME);
    EXPECT_EQ(hexHash(0x00ab12cd00000001ull), "00ab12cd00000001");
}

TEST(Y4m, StudioRangeValuesOfKnownColours)
{
    struct Case {
        std::uint32_t pixel;
        int y, u, v;
    };
    const Case cases[] = {
        {0x000000, 16, 128, 128},    // black
        {0xFFFFFF, 235, 128, 128},   // white
        {0xFF0000, 82, 90, 240},     // red: (66*255+128)>>8 = 66; (-38*255+128)>>8 = -38
        {0x0000FF, 41, 240, 110},    // blue: (25*255+128)>>8 = 25; (-18*255+128)>>8 = -18
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pixel);
        const std::vector<std::uint32_t> pixels(4, c.pixel);
        std::vector<unsigned char> out;
        toYuv420(pixels.data(), 2, 2, out);
        ASSERT_EQ(out.size(), 6u);
        EXPECT_EQ(out[0], c.y);
        EXPECT_EQ(out[3], c.y);
        EXPECT_EQ(out[4], c.u);
        EXPECT_EQ(out[5], c.v);
    }
}

TEST(Y4m, ChromaIsTheRoundedMeanOfFourPixelsAndPlanesFollowEachOther)
{
    // A 4x2 picture: left block two red over two black, right block all white.
    const std::uint32_t pixels[8] = {0xFF0000, 0xFF0000, 0xFFFFFF, 0xFFFFFF,
                                     0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF};
    std::vector<unsigned char> out;
    toYuv420(pixels, 4, 2, out);
    ASSERT_EQ(out.size(), 8u + 2 + 2);
    EXPECT_EQ(out[0], 82);
    EXPECT_EQ(out[2], 235);
    EXPECT_EQ(out[4], 16);
    EXPECT_EQ(out[8], 109);    // (90 + 90 + 128 + 128 + 2) / 4 = 109.5, down
    EXPECT_EQ(out[9], 128);
    EXPECT_EQ(out[10], 184);   // (240 + 240 + 128 + 128 + 2) / 4
    EXPECT_EQ(out[11], 128);
    EXPECT_EQ(y4mHeader(640, 480, 25), "YUV4MPEG2 W640 H480 F25:1 Ip A1:1 C420jpeg\n");
}

TEST(FindProgram, OnlyExecutableFilesCount)
{
    const fs::path dir = freshDirectory("path");
    fs::create_directories(dir / "a");
    fs::create_directories(dir / "b");
    fs::create_directories(dir / "c" / "tool");   // a directory of that name
    std::ofstream(dir / "a" / "tool") << "#!/bin/sh\n";   // not executable
    std::ofstream(dir / "b" / "tool") << "#!/bin/sh\n";
    chmod((dir / "b" / "tool").c_str(), 0755);
    const std::string a = (dir / "a").string(), b = (dir / "b").string(), c = (dir / "c").string();
    EXPECT_EQ(findProgram("tool", a + ":" + c + ":" + b), b + "/tool");
    EXPECT_EQ(findProgram("tool", a + ":" + c), "");
    EXPECT_EQ(findProgram("tool", ""), "");
    fs::remove_all(dir);
}

TEST(PendingFile, AppearsOnlyOnCommitAndLeavesNothingWhenAbandoned)
{
    const fs::path dir = freshDirectory("pending");
    const std::string path = (dir / "out.txt").string();
    std::string error;
    {
        PendingFile file(path);
        ASSERT_TRUE(file.probe(error)) << error;
        EXPECT_TRUE(fs::exists(path + ".part"));
        EXPECT_FALSE(fs::exists(path));
    }   // destroyed without commit
    EXPECT_FALSE(fs::exists(path + ".part"));

    PendingFile file(path);
    ASSERT_TRUE(file.probe(error));
    ASSERT_TRUE(writeWholeFile(file.temporaryPath(), "done\n", error));
    ASSERT_TRUE(file.commit(error)) << error;
    EXPECT_FALSE(fs::exists(path + ".part"));
    std::ifstream in(path);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "done");

    // A directory that cannot exist: a regular file stands in its place.
    PendingFile blocked(path + "/inside.txt");
    EXPECT_FALSE(blocked.probe(error));
    EXPECT_NE(error.find(path + "/inside.txt"), std::string::npos) << error;
    fs::remove_all(dir);
}

TEST(FrameSequence, NumbersFramesAndRefusesAFileAsDirectory)
{
    const fs::path dir = freshDirectory("sequence");
    FrameSequence frames((dir / "shots").string());
    std::string error;
    ASSERT_TRUE(frames.start(error)) << error;
    const std::vector<std::uint32_t> pixels(8 * 4, 0x00FF00);
    ASSERT_TRUE(frames.writeFrame(pixels.data(), 8, 4, error)) << error;
    ASSERT_TRUE(frames.writeFrame(pixels.data(), 8, 4, error)) << error;
    EXPECT_TRUE(fs::exists(dir / "shots" / "frame_000000.png"));
    EXPECT_TRUE(fs::exists(dir / "shots" / "frame_000001.png"));
    EXPECT_FALSE(fs::exists(dir / "shots" / "frame_000000.png.part"));
    ASSERT_TRUE(frames.writeSound(std::vector<std::int16_t>(2 * 735, 0), error)) << error;
    // 44-byte header and 735 stereo 16-bit sample frames: one frame's worth at 60 fps.
    EXPECT_EQ(fs::file_size(dir / "shots" / "sound.wav"), 44u + 735 * 4);

    std::ofstream(dir / "plain") << "x";
    FrameSequence blocked((dir / "plain").string());
    EXPECT_FALSE(blocked.start(error));
    EXPECT_NE(error.find("plain"), std::string::npos) << error;
    fs::remove_all(dir);
}

}  // namespace
