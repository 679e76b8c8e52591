#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/e2e/process_support.h"

namespace {

const std::string PLAYER = QUORVANE_BINARY_DIR "/quorvane";

const std::string SIZE_QUESTION =
    "1.512*384\n2.640*480 (only for those who can\u00B4t run in 512*384)\n";
const std::string WRONG = "That\u00B4s not a correct answer\n";
const std::string SOUND_QUESTION = "1.Sound\n2.Nosound\n";

// A data directory without the loading picture: the program answers its
// questions, then stops at the first picture it loads.
std::string emptyDataDir()
{
    const auto dir = std::filesystem::temp_directory_path() / "quorvane_e2e_empty_data";
    std::filesystem::create_directories(dir);
    return dir.string();
}

ProcessResult answer(const std::string& input, std::vector<std::string> args = {})
{
    args.insert(args.begin(), {"--data", emptyDataDir()});
    return runProcess(PLAYER, args, input, {"DISPLAY=", "WAYLAND_DISPLAY="});
}

}  // namespace

TEST(Dialogue, WrongSizeAnswerIsReportedAndAskedAgain)
{
    const ProcessResult r = answer("3\n2\n2\n");
    EXPECT_EQ(r.out, SIZE_QUESTION + WRONG + SIZE_QUESTION + SOUND_QUESTION);
    // Then the loading picture is missing: the message names it, status 1.
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Couldn\u00B4t load "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("loading.jpg file"), std::string::npos) << r.err;
}

TEST(Dialogue, TextThatIsNotANumberIsDroppedAndTheQuestionRepeated)
{
    const ProcessResult r = answer("abc\n1\nxyz\n7\n1\n");
    // The size question counts it as a wrong answer; the sound question asks
    // again without a word.
    EXPECT_EQ(r.out, SIZE_QUESTION + WRONG + SIZE_QUESTION + SOUND_QUESTION + SOUND_QUESTION +
                         SOUND_QUESTION);
    EXPECT_EQ(r.status, 1);
}

TEST(Dialogue, EndOfInputEndsTheProgramClearly)
{
    for (const std::string input : {"", "2\n", "5\nhello"}) {
        SCOPED_TRACE(input);
        const ProcessResult r = answer(input);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("no answer on standard input"), std::string::npos) << r.err;
    }
}

TEST(Dialogue, OptionsAnswerTheQuestions)
{
    const ProcessResult r = answer("", {"--size", "1", "--nosound"});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.status, 1);   // the missing loading picture again
    EXPECT_NE(r.err.find("loading.jpg"), std::string::npos);
}

TEST(PlayerOptions, HelpBadOptionsAndAMissingDataDirectory)
{
    ProcessResult r = runProcess(PLAYER, {"--help"}, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--size 1|2"), std::string::npos);
    r = runProcess(PLAYER, {"--size", "3"}, "");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--size"), std::string::npos);
    r = runProcess(PLAYER, {"--frobnicate"}, "");
    EXPECT_EQ(r.status, 2);
    r = runProcess(PLAYER, {"--data", "/nonexistent/quorvane"}, "1\n2\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "quorvane: no data directory at /nonexistent/quorvane\n");
}
