#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/capture/capture_support.h"

namespace fs = std::filesystem;

// The capture program run as a user runs it, on short stretches of the show.

namespace {

const std::string PROGRAM = std::string(QUORVANE_BINARY_DIR) + "/quorvane-capture";
const std::string DATA = QUORVANE_DATA_DIR;

struct Outcome {
    int status = -1;
    std::string out, err;
};

class CaptureRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = freshDirectory(std::string("run-") +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the program with args (and an optional environment prefix such as
    // "env PATH=..."), its output captured.
    Outcome capture(const std::string& args, const std::string& prefix = "")
    {
        const std::string out = (dir / "stdout").string(), err = (dir / "stderr").string();
        const std::string command = "cd '" + dir.string() + "' && " + prefix + " '" + PROGRAM +
                                    "' --data '" + DATA + "' " + args + " >'" + out + "' 2>'" +
                                    err + "'";
        Outcome run;
        const int status = std::system(command.c_str());
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = readAll(out);
        run.err = readAll(err);
        return run;
    }

    // The lines of a manifest after its "#" header line: frame, pass,
    // clock ms, show ms, part, hash.
    std::vector<std::vector<std::string>> frameLines(const std::string& manifest)
    {
        std::vector<std::vector<std::string>> lines;
        std::istringstream in(manifest);
        std::string line;
        bool body = false;
        while (std::getline(in, line)) {
            if (line.rfind("# frame", 0) == 0) {
                body = true;
                continue;
            }
            if (!body) continue;
            std::istringstream words(line);
            std::vector<std::string> w;
            for (std::string word; words >> word;) w.push_back(word);
            lines.push_back(w);
        }
        return lines;
    }

    // Names in dir that are not the captured stdout and stderr.
    std::vector<std::string> leftBehind()
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

    fs::path dir;
};

std::string lastLine(const std::string& text)
{
    std::string trimmed = text;
    while (!trimmed.empty() && trimmed.back() == '\n') trimmed.pop_back();
    const std::size_t at = trimmed.rfind('\n');
    return at == std::string::npos ? trimmed : trimmed.substr(at + 1);
}

TEST_F(CaptureRunTest, TwoRunsWithTheSameOptionsAgree)
{
    const Outcome a = capture("--to 1.5 --null --stats --manifest a.txt");
    const Outcome b = capture("--to 1.5 --null --manifest b.txt");
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(b.status, 0) << b.err;
    const std::string line = lastLine(a.out);
    ASSERT_EQ(line.size(), 6u + 16u) << a.out;
    EXPECT_EQ(line.substr(0, 6), "hash: ");
    EXPECT_EQ(line.find_first_not_of("0123456789abcdef", 6), std::string::npos) << line;
    EXPECT_EQ(line, lastLine(b.out));

    const std::string ma = readAll(dir / "a.txt"), mb = readAll(dir / "b.txt");
    EXPECT_EQ(ma, mb);
    EXPECT_NE(ma.find("fps 60\n"), std::string::npos);
    EXPECT_NE(ma.find("size 1\n"), std::string::npos);
    EXPECT_NE(ma.find("hash " + line.substr(6) + "\n"), std::string::npos);
    // 77 loading frames (the fade ends on the first pass boundary at or after
    // 1280 ms: 77 * 1000 / 60 = 1283) and 90 frames of show time 0..1483.
    const auto lines = frameLines(ma);
    ASSERT_EQ(lines.size(), 77u + 90u);
    EXPECT_EQ(lines[76][4], "loading");
    EXPECT_EQ(lines[77][3], "0");
    EXPECT_EQ(lines[77][2], "1283");
    EXPECT_EQ(lines.back()[3], "1483");
    // The frame at 1500 ms ends the capture: drawn, not written.
    EXPECT_NE(a.out.find("rendered 168 frames in "), std::string::npos) << a.out;
    EXPECT_NE(a.out.find("wrote 167 frames (not written: 1 at --to)\n"), std::string::npos) << a.out;

    // The size shapes the frames, so it changes the hash.
    const Outcome c = capture("--to 1.5 --null --size 2");
    ASSERT_EQ(c.status, 0) << c.err;
    EXPECT_NE(lastLine(c.out), line);
}

TEST_F(CaptureRunTest, OtherFrameRatesPassThePartBoundaryAtTheirTimes)
{
    // Part 0 hands over on its first frame after 24000 ms; that frame is
    // still part 0's and the next one is part 1's.
    struct Case {
        int fps;
        std::size_t frames;
        const char* lastOfPart0;
        const char* firstOfPart1;
        const char* firstPass;   // loading passes + frame index in the show
        const char* firstClock;
    };
    const Case cases[] = {
        // 10 fps: 13 loading passes (1300 ms); show times 23900, 24000, 24100 | 24200.
        {10, 4, "24100", "24200", "255", "25500"},
        // 25 fps: 32 loading passes (1280 ms); 23920 .. 24040 | 24080 .. 24240.
        {25, 9, "24040", "24080", "634", "25360"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fps);
        const std::string fps = std::to_string(c.fps);
        const std::string manifest = "manifest" + fps;
        const Outcome run =
            capture("--fps " + fps + " --from 23.9 --to 24.25 --null --manifest " + manifest);
        ASSERT_EQ(run.status, 0) << run.err;
        const auto lines = frameLines(readAll(dir / manifest));
        ASSERT_EQ(lines.size(), c.frames);
        std::size_t first1 = 0;
        while (first1 < lines.size() && lines[first1][4] == "0") ++first1;
        ASSERT_GT(first1, 0u);
        ASSERT_LT(first1, lines.size());
        EXPECT_EQ(lines[first1 - 1][3], c.lastOfPart0);
        EXPECT_EQ(lines[first1][3], c.firstOfPart1);
        EXPECT_EQ(lines[first1][4], "1");
        EXPECT_EQ(lines[first1][1], c.firstPass);
        EXPECT_EQ(lines[first1][2], c.firstClock);
        for (std::size_t i = first1; i < lines.size(); ++i) EXPECT_EQ(lines[i][4], "1");
    }
}

TEST_F(CaptureRunTest, FramesWithTheirSoundAndASheetAgreeWithTheHash)
{
    const Outcome run = capture("--fps 10 --to 0.5 --frames shots --contact-sheet sheet.png "
                            "--every 0.2 --manifest m.txt");
    ASSERT_EQ(run.status, 0) << run.err;
    // 13 loading frames and show times 0, 100, .., 400.
    const auto lines = frameLines(readAll(dir / "m.txt"));
    ASSERT_EQ(lines.size(), 18u);
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
        const char* streams;   // ffprobe's codec names, then the container's
    };
    const Case cases[] = {
        {"show.mp4", "h264,aac,mov,mp4,m4a,3gp,3g2,mj2"},
        {"show.webm", "vp9,opus,matroska,webm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome run = capture(std::string("--fps 10 --to 0.3 --null --video ") + c.name);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(leftBehind(), std::vector<std::string>{c.name});
        const std::string probe = "ffprobe -v error -show_entries stream=codec_name:format=format_name "
                                  "-of default=nw=1:nk=1 '" + (dir / c.name).string() + "' | paste -sd, > '" +
                                  (dir / "probe").string() + "'";
        ASSERT_EQ(std::system(probe.c_str()), 0);
        EXPECT_EQ(readAll(dir / "probe"), std::string(c.streams) + "\n");
        fs::remove(dir / c.name);
        fs::remove(dir / "probe");
    }
}

TEST_F(CaptureRunTest, MissingFfmpegLeavesNothingBehind)
{
    fs::create_directories(dir / "bin");
    const Outcome run = capture("--to 0.5 --video show.mp4 --manifest m.txt",
                            "env PATH='" + (dir / "bin").string() + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("ffmpeg"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("show.mp4"), std::string::npos) << run.err;
    EXPECT_EQ(leftBehind(), std::vector<std::string>{});
    EXPECT_EQ(run.out.find("hash:"), std::string::npos);
}

TEST_F(CaptureRunTest, AnEncoderThatFailsLeavesNoVideo)
{
    fs::create_directories(dir / "bin");
    std::ofstream(dir / "bin" / "ffmpeg") << "#!/bin/sh\nexit 1\n";
    chmod((dir / "bin" / "ffmpeg").c_str(), 0755);
    const Outcome run = capture("--to 2 --video show.mp4 --contact-sheet s.png",
                            "env PATH='" + (dir / "bin").string() + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("ffmpeg"), std::string::npos) << run.err;
    EXPECT_EQ(leftBehind(), std::vector<std::string>{});
}

TEST_F(CaptureRunTest, WithoutTheSongTheTrackIsSilentAfterAWarning)
{
    fs::create_directories(dir / "nosong");
    for (const char* part : {"gfx", "objects"}) {
        fs::create_directory_symlink(fs::path(DATA) / part, dir / "nosong" / part);
    }
    const Outcome run = capture("--fps 10 --to 0.2 --frames shots --data nosong");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.rfind("quorvane-capture: cannot play nosong/song.mp3", 0), 0u) << run.err;
    // 13 loading frames and 2 of the show, 4410 silent sample frames each.
    const std::string wav = readAll(dir / "shots" / "sound.wav");
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
    };
    for (const std::string& args : cases) {
        SCOPED_TRACE(args);
        const Outcome run = capture("--to 0.5 " + args);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(blocked), std::string::npos) << run.err;
        EXPECT_EQ(leftBehind(), std::vector<std::string>{});
    }
}

TEST_F(CaptureRunTest, HelpNamesEveryOptionAndBadOptionsAreRefused)
{
    const Outcome help = capture("--help");
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--size", "--fps", "--from", "--to", "--video", "--frames", "--y4m",
                               "--contact-sheet", "--every", "--null", "--manifest", "--data"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
    const Outcome bad = capture("--fps 2000 --null");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--fps"), std::string::npos);
}

}  // namespace
