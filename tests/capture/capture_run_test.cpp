#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/capture/capture_support.h"

namespace fs = std::filesystem;

// The capture program run as a user runs it, on short stretches of the show.

namespace {

using CaptureRunTest = CaptureProgramTest;

// Names in dir other than the captured output and the tests' own set-up.
std::vector<std::string> leftBehind(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name != "stdout" && name != "stderr" && name != "block" && name != "bin") {
            names.push_back(name);
        }
    }
    return names;
}

std::string lastLine(const std::string& text)
{
    std::string trimmed = text;
    while (!trimmed.empty() && trimmed.back() == '\n') trimmed.pop_back();
    const std::size_t at = trimmed.rfind('\n');
    return at == std::string::npos ? trimmed : trimmed.substr(at + 1);
}

TEST_F(CaptureRunTest, TwoRunsWithTheSameOptionsAgree)
{
    const CaptureRun a = capture("--to 1.5 --null --stats --manifest a.txt");
    const CaptureRun b = capture("--to 1.5 --null --manifest b.txt");
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(b.status, 0) << b.err;
    const std::string line = lastLine(a.out);
    ASSERT_EQ(line.size(), 6u + 16u) << a.out;
    EXPECT_EQ(line.substr(0, 6), "hash: ");
    EXPECT_EQ(line.find_first_not_of("0123456789abcdef", 6), std::string::npos) << line;
    EXPECT_EQ(line, lastLine(b.out));

    const std::string ma = readFile(dir / "a.txt"), mb = readFile(dir / "b.txt");
    EXPECT_EQ(ma, mb);
    EXPECT_NE(ma.find("fps 60\n"), std::string::npos);
    EXPECT_NE(ma.find("size 1\n"), std::string::npos);
    EXPECT_NE(ma.find("hash " + line.substr(6) + "\n"), std::string::npos);
    // 77 loading frames (the fade ends on the first pass boundary at or after
    // 1280 ms: 77 * 1000 / 60 = 1283) and 90 frames of show time 0..1483.
    const std::vector<ManifestFrame> frames = manifestFrames(ma);
    ASSERT_EQ(frames.size(), 77u + 90u);
    EXPECT_EQ(frames[76].part, -1);
    EXPECT_EQ(frames[77].showMs, 0);
    EXPECT_EQ(frames[77].clockMs, 1283);
    EXPECT_EQ(frames.back().showMs, 1483);
    // The frame at 1500 ms ends the capture: drawn, not written.
    EXPECT_NE(a.out.find("rendered 168 frames in "), std::string::npos) << a.out;
    EXPECT_NE(a.out.find("wrote 167 frames (not written: 1 at --to)\n"), std::string::npos) << a.out;

    // The size shapes the frames, so it changes the hash.
    const CaptureRun c = capture("--to 1.5 --null --size 2");
    ASSERT_EQ(c.status, 0) << c.err;
    EXPECT_NE(lastLine(c.out), line);
}

TEST_F(CaptureRunTest, FramesWithTheirSoundAndASheetAgreeWithTheHash)
{
    const CaptureRun run = capture("--fps 10 --to 0.5 --frames shots --contact-sheet sheet.png "
                                   "--every 0.2 --manifest m.txt");
    ASSERT_EQ(run.status, 0) << run.err;
    // 13 loading frames and show times 0, 100, .., 400.
    ASSERT_EQ(manifestFrames(readFile(dir / "m.txt")).size(), 18u);
    EXPECT_TRUE(fs::exists(dir / "shots" / "frame_000017.png"));
    EXPECT_FALSE(fs::exists(dir / "shots" / "frame_000018.png"));
    // 18 frames of 4410 sample frames, 4 bytes each, after a 44-byte header.
    EXPECT_EQ(fs::file_size(dir / "shots" / "sound.wav"), 44u + 18 * 4410 * 4);
    EXPECT_TRUE(fs::exists(dir / "sheet.png"));
    EXPECT_FALSE(fs::exists(dir / "sheet.png.part"));
}

TEST_F(CaptureRunTest, VideoAppearsWholeInTheContainerOfItsExtension)
{
    if (std::system("command -v ffmpeg >/dev/null 2>&1 && command -v ffprobe >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "no ffmpeg here";
    }
    struct Case {
        const char* name;
        const char* streams;   // ffprobe's codec names, the container's, the brand of an MP4 or MOV
    };
    const Case cases[] = {
        {"show.mp4", "h264,aac,mov,mp4,m4a,3gp,3g2,mj2,isom"},
        {"show.MOV", "h264,aac,mov,mp4,m4a,3gp,3g2,mj2,qt  "},
        {"show.mkv", "h264,aac,matroska,webm"},
        {"show.webm", "vp9,opus,matroska,webm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CaptureRun run = capture(std::string("--fps 10 --to 0.3 --null --video ") + c.name);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(leftBehind(dir), std::vector<std::string>{c.name});
        const std::string probe = "ffprobe -v error -show_entries stream=codec_name:format=format_name:format_tags=major_brand "
                                  "-of default=nw=1:nk=1 '" + (dir / c.name).string() + "' | paste -sd, > '" +
                                  (dir / "probe").string() + "'";
        ASSERT_EQ(std::system(probe.c_str()), 0);
        EXPECT_EQ(readFile(dir / "probe"), std::string(c.streams) + "\n");
        fs::remove(dir / c.name);
        fs::remove(dir / "probe");
    }
}

TEST_F(CaptureRunTest, WithoutAWorkingFfmpegNothingIsLeftBehind)
{
    // ffmpeg stand-ins on the PATH, after "$last" is set to their output file.
    struct Case {
        const char* ffmpeg;   // nullptr: none on the PATH
        const char* mentions;
    };
    const Case cases[] = {
        {nullptr, "ffmpeg"},
        {"exit 1", "ffmpeg"},
        {"/bin/cat > /dev/null", "nothing for show.mp4"},   // takes everything, writes nothing
        {"/bin/cat > \"$last\"", "nothing for show.mp4"},   // the join gets no input: an empty file
    };
    fs::create_directories(dir / "bin");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ffmpeg ? c.ffmpeg : "no ffmpeg");
        if (c.ffmpeg) {
            std::ofstream(dir / "bin" / "ffmpeg") << "#!/bin/sh\nfor last; do :; done\n" << c.ffmpeg << "\n";
            chmod((dir / "bin" / "ffmpeg").c_str(), 0755);
        }
        const CaptureRun run = capture("--to 2 --video show.mp4 --contact-sheet s.png --manifest m.txt",
                                       "env PATH='" + (dir / "bin").string() + "'");
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.mentions), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("show.mp4"), std::string::npos) << run.err;
        EXPECT_EQ(leftBehind(dir), std::vector<std::string>{});
        EXPECT_EQ(run.out.find("hash:"), std::string::npos);
    }
}

TEST_F(CaptureRunTest, WithoutTheSongTheTrackIsSilentAfterAWarning)
{
    fs::create_directories(dir / "nosong");
    for (const char* part : {"gfx", "objects"}) {
        fs::create_directory_symlink(fs::path(QUORVANE_DATA_DIR) / part, dir / "nosong" / part);
    }
    const CaptureRun run = capture("--fps 10 --to 0.2 --frames shots --data nosong");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.rfind("quorvane-capture: cannot play nosong/song.mp3", 0), 0u) << run.err;
    // 13 loading frames and 2 of the show, 4410 silent sample frames each.
    const std::string wav = readFile(dir / "shots" / "sound.wav");
    ASSERT_EQ(wav.size(), 44u + 15 * 4410 * 4);
    EXPECT_EQ(wav.find_first_not_of('\0', 44), std::string::npos);
}

TEST_F(CaptureRunTest, UnwritableOutputsAreNamedAndNothingIsLeft)
{
    std::ofstream(dir / "block") << "a file where a directory is wanted";
    const std::string blocked = (dir / "block").string();
    const std::string cases[] = {
        "--manifest ok.txt --contact-sheet '" + blocked + "/sheet.png'",
        "--contact-sheet ok.png --manifest '" + blocked + "/m.txt'",
        "--manifest ok.txt --frames '" + blocked + "/shots'",
        "--manifest ok.txt --frames '" + blocked + "'",
    };
    for (const std::string& args : cases) {
        SCOPED_TRACE(args);
        const CaptureRun run = capture("--to 0.5 " + args);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(blocked), std::string::npos) << run.err;
        EXPECT_EQ(leftBehind(dir), std::vector<std::string>{});
    }
}

TEST_F(CaptureRunTest, HelpNamesEveryOptionAndBadOptionsAreRefused)
{
    const CaptureRun help = capture("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--size", "--fps", "--from", "--to", "--video", "--frames", "--y4m",
                               "--contact-sheet", "--every", "--null", "--manifest", "--data"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
    const CaptureRun bad = capture("--fps 2000 --null");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--fps"), std::string::npos);
}

}  // namespace
