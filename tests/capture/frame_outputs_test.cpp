#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "tests/capture/capture_support.h"
#include "tools/capture/frame_outputs.h"

namespace fs = std::filesystem;

namespace {

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
        EXPECT_EQ(file.temporaryPath(), path + ".part");
        EXPECT_TRUE(fs::exists(path + ".part"));
        EXPECT_FALSE(fs::exists(path));
    }   // destroyed without commit
    EXPECT_FALSE(fs::exists(path + ".part"));

    PendingFile file(path);
    ASSERT_TRUE(file.probe(error));
    ASSERT_TRUE(writeWholeFile(file.temporaryPath(), "done\n", error));
    ASSERT_TRUE(file.commit(error)) << error;
    EXPECT_FALSE(fs::exists(path + ".part"));
    EXPECT_EQ(readAll(path), "done\n");

    // A directory that cannot exist: a regular file stands in its place.
    PendingFile blocked(path + "/inside.txt");
    EXPECT_FALSE(blocked.probe(error));
    EXPECT_NE(error.find(path + "/inside.txt"), std::string::npos) << error;
    fs::remove_all(dir);
}

// Writes text through a PendingFile at path; reads a FIFO while it commits.
bool writeThrough(const std::string& path, const std::string& text, std::string& error,
                  std::string& fromFifo)
{
    PendingFile file(path);
    if (!file.probe(error)) return false;
    if (!writeWholeFile(file.temporaryPath(), text, error)) return false;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISFIFO(info.st_mode)) return file.commit(error);
    std::thread reader([&] { fromFifo = readAll(path); });
    const bool ok = file.commit(error);
    // Lets the reader go if commit never opened the FIFO.
    const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) close(fd);
    reader.join();
    return ok;
}

TEST(PendingFile, ReplacesOnlyRegularFilesAndWritesThroughLinksDevicesAndFifos)
{
    const fs::path dir = freshDirectory("kinds");
    std::ofstream(dir / "old.txt") << "old";
    std::ofstream(dir / "linked.txt") << "old";
    fs::create_symlink("linked.txt", dir / "link.txt");
    fs::create_symlink(dir / "sub" / "far.txt", dir / "dangling.txt");
    fs::create_directories(dir / "sub");
    fs::create_symlink("link.txt", dir / "link2.txt");   // a link to a link
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0644), 0);
    struct Case {
        std::string path;
        bool ok;
        std::string landsIn;   // the file that holds the text afterwards
        const char* mentions;  // in the error, after the path
    };
    const std::string d = dir.string();
    std::vector<Case> cases = {
        {d + "/new.txt", true, d + "/new.txt", ""},
        {d + "/old.txt", true, d + "/old.txt", ""},
        {d + "/link.txt", true, d + "/linked.txt", ""},
        {d + "/link2.txt", true, d + "/linked.txt", ""},
        {d + "/dangling.txt", true, d + "/sub/far.txt", ""},
        {d + "/fifo", true, "", ""},
        {d + "/sub", false, "", "directory"},
    };
    // Real devices only for an ordinary user: as root a fault here would
    // replace the system's device with a file.
    if (geteuid() != 0) cases.push_back({"/dev/null", true, "", ""});
    const std::string text(300000, 'q');   // more than a pipe holds at once
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string error, fromFifo;
        const bool ok = writeThrough(c.path, text, error, fromFifo);
        EXPECT_EQ(ok, c.ok) << error;
        if (!c.ok) {
            EXPECT_NE(error.find(c.path + ": "), std::string::npos) << error;
            EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
        }
        if (!c.landsIn.empty()) {
            EXPECT_EQ(readAll(c.landsIn), text);
        }
        if (c.path == d + "/fifo") {
            EXPECT_EQ(fromFifo, text);
        }
    }
    // Links stay links, the FIFO a FIFO, and no temporary file is left.
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_TRUE(fs::is_symlink(dir / "link2.txt"));
    EXPECT_TRUE(fs::is_symlink(dir / "dangling.txt"));
    EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
    }
    fs::remove_all(dir);
}

TEST(PendingFile, AFullDeviceIsAnErrorNamingIt)
{
    std::string error, fromFifo;
    if (geteuid() == 0 || !fs::is_character_file("/dev/full")) {
        GTEST_SKIP() << "the full device only for an ordinary user";
    }
    EXPECT_FALSE(writeThrough("/dev/full", "text", error, fromFifo));
    EXPECT_EQ(error.rfind("cannot write /dev/full: ", 0), 0u) << error;
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST(PendingFile, MessagesAboutTheTemporaryFileNameTheOutput)
{
    const fs::path dir = freshDirectory("message");
    const std::string path = (dir / "sheet.png").string();
    PendingFile file(path);
    std::string error;
    ASSERT_TRUE(file.probe(error)) << error;
    EXPECT_EQ(file.ownMessage(file.temporaryPath() + ": cannot open " + file.temporaryPath()),
              path + ": cannot open " + path);
    file.abandon();
    fs::remove_all(dir);
}

// ffmpeg stand-ins on PATH: each logs its arguments, then behaves as told.
class FakeFfmpegTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = freshDirectory("ffmpeg");
        fs::create_directories(dir / "bin");
        const char* path = std::getenv("PATH");
        oldPath = path ? path : "";
        setenv("PATH", (dir / "bin").c_str(), 1);
    }
    void TearDown() override
    {
        setenv("PATH", oldPath.c_str(), 1);
        fs::remove_all(dir);
    }
    // body runs after "$last" is set to the output file.
    void fake(const std::string& body)
    {
        std::ofstream(dir / "bin" / "ffmpeg")
            << "#!/bin/sh\necho \"$*\" >> '" << (dir / "args").string()
            << "'\nfor last; do :; done\n" << body << "\n";
        chmod((dir / "bin" / "ffmpeg").c_str(), 0755);
    }
    // Encodes two 4x2 frames with their sound into name.
    bool encode(const std::string& name, std::string& error)
    {
        VideoEncoder video((dir / name).string());
        if (!video.start(4, 2, 10, error)) return false;
        const std::vector<std::uint32_t> pixels(8, 0x123456);
        const std::vector<std::int16_t> sound(2 * 4410, 0);
        for (int i = 0; i < 2; ++i) {
            if (!video.writeFrame(pixels.data(), error) || !video.writeSound(sound, error)) return false;
        }
        return video.finish(error);
    }
    std::vector<std::string> argLines()
    {
        std::vector<std::string> lines;
        std::ifstream in(dir / "args");
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    std::vector<std::string> leftBehind()
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            if (name != "bin" && name != "args") names.push_back(name);
        }
        return names;
    }

    fs::path dir;
    std::string oldPath;
};

TEST_F(FakeFfmpegTest, EachExtensionGetsItsCodecsAndContainer)
{
    fake("/bin/cat > \"$last\"; echo made >> \"$last\"");
    struct Case {
        const char* name;
        const char* video;
        const char* sound;
        const char* join;   // the last step's container options
    };
    const Case cases[] = {
        {"a.mp4", "-c:v libx264", "-c:a aac", "-movflags +faststart -f mp4 "},
        {"b.MOV", "-c:v libx264", "-c:a aac", "-movflags +faststart -f mov "},
        {"c.mkv", "-c:v libx264", "-c:a aac", "-c copy -f matroska "},
        {"d.webm", "-c:v libvpx-vp9", "-c:a libopus", "-c copy -f webm "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(dir / "args");
        std::string error;
        ASSERT_TRUE(encode(c.name, error)) << error;
        // The two encoders start in either order; the join comes last.
        std::vector<std::string> lines = argLines();
        ASSERT_EQ(lines.size(), 3u);
        if (lines[0].find("rawvideo") == std::string::npos) std::swap(lines[0], lines[1]);
        EXPECT_NE(lines[0].find(c.video), std::string::npos) << lines[0];
        EXPECT_NE(lines[1].find(c.sound), std::string::npos) << lines[1];
        EXPECT_NE(lines[2].find(c.join), std::string::npos) << lines[2];
        EXPECT_EQ(readAll(dir / c.name), "made\n");
    }
    EXPECT_EQ(leftBehind().size(), std::size(cases));
}

TEST_F(FakeFfmpegTest, AnEncoderThatWritesNothingIsAFailure)
{
    const char* bodies[] = {
        "/bin/cat > /dev/null",     // takes everything, writes nothing
        "/bin/cat > \"$last\"",     // encodes, but the join has no input and makes an empty file
    };
    for (const char* body : bodies) {
        SCOPED_TRACE(body);
        fake(body);
        std::string error;
        EXPECT_FALSE(encode("show.mp4", error));
        EXPECT_NE(error.find("nothing for " + (dir / "show.mp4").string()), std::string::npos) << error;
        EXPECT_EQ(leftBehind(), std::vector<std::string>{});
    }
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
