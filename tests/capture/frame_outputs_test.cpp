#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/capture/capture_support.h"
#include "tools/capture/frame_outputs.h"

namespace fs = std::filesystem;

namespace {

TEST(Y4m, StudioRangeLumaAndRoundedMeansOfChroma)
{
    // Three 2x2 blocks: red over black, white, blue.
    const std::uint32_t pixels[12] = {0xFF0000, 0xFF0000, 0xFFFFFF, 0xFFFFFF, 0x0000FF, 0x0000FF,
                                      0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0x0000FF, 0x0000FF};
    std::vector<unsigned char> out;
    toYuv420(pixels, 6, 2, out);
    const std::vector<unsigned char> expected = {
        82,  82,  235, 235, 41, 41,   // luma: red, white, blue
        16,  16,  235, 235, 41, 41,   // black, white, blue
        109, 128, 240,                // blue difference: (90 + 90 + 128 + 128 + 2) / 4, white, blue
        184, 128, 110,                // red difference: (240 + 240 + 128 + 128 + 2) / 4, white, blue
    };
    EXPECT_EQ(out, expected);
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
        // Messages about the temporary file name the output.
        EXPECT_EQ(file.ownMessage(file.temporaryPath() + ": cannot open " + file.temporaryPath()),
                  path + ": cannot open " + path);
    }   // destroyed without commit
    EXPECT_FALSE(fs::exists(path + ".part"));

    PendingFile file(path);
    ASSERT_TRUE(file.probe(error));
    ASSERT_TRUE(writeWholeFile(file.temporaryPath(), "done\n", error));
    ASSERT_TRUE(file.commit(error)) << error;
    EXPECT_FALSE(fs::exists(path + ".part"));
    EXPECT_EQ(readFile(path), "done\n");
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
    std::thread reader([&] { fromFifo = readFile(path); });
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
        const char* mentions;  // in the error, besides the path
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
        {d + "/old.txt/inside.txt", false, "", ""},   // a regular file where a folder should be
    };
    // Real devices only for an ordinary user: as root a fault here would
    // replace the system's device with a file.
    if (geteuid() != 0) {
        cases.push_back({"/dev/null", true, "", ""});
        cases.push_back({"/dev/full", false, "", "cannot write /dev/full: "});
    }
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
            EXPECT_EQ(readFile(c.landsIn), text);
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
    if (geteuid() != 0) {
        EXPECT_TRUE(fs::is_character_file("/dev/full"));
    }
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
    }
    fs::remove_all(dir);
}

}  // namespace
