#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/process_support.h"

namespace {

const std::string PLAYER = QUORVANE_BINARY_DIR "/quorvane";

const std::string SIZE_QUESTION =
    "1.512*384\n2.640*480 (only for those who can\u00B4t run in 512*384)\n";
const std::string WRONG = "That\u00B4s not a correct answer\n";
const std::string SOUND_QUESTION = "1.Sound\n2.Nosound\n";

}  // namespace

// The player is given a data directory without the loading picture unless
// a case names its own: it answers its questions, then stops at the first
// picture it loads, naming it.
TEST(Dialogue, AnswersOnStandardInputAndOptions)
{
    const std::string empty = (std::filesystem::temp_directory_path() / "quorvane_e2e_empty_data").string();
    std::filesystem::create_directories(empty);
    const std::string NO_LOADING_PICTURE = "Couldn\u00B4t load " + empty + "/gfx/loading.jpg file";
    const struct {
        const char* what;
        std::vector<std::string> args;
        std::string input;
        int status;
        std::optional<std::string> out;   // the whole standard output, when looked at
        std::string said;                 // a part of standard output or error
        bool whole = false;               // said is the whole standard error
    } cases[] = {
        {"a wrong size is reported and asked again", {}, "3\n2\n2\n", 1,
         SIZE_QUESTION + WRONG + SIZE_QUESTION + SOUND_QUESTION, NO_LOADING_PICTURE},
        // The size question counts text as a wrong answer; the sound
        // question asks again without a word.
        {"text that is not a number", {}, "abc\n1\nxyz\n7\n1\n", 1,
         SIZE_QUESTION + WRONG + SIZE_QUESTION + SOUND_QUESTION + SOUND_QUESTION + SOUND_QUESTION,
         NO_LOADING_PICTURE},
        {"no input", {}, "", 1, std::nullopt, "no answer on standard input"},
        {"input ends after the size", {}, "2\n", 1, std::nullopt, "no answer on standard input"},
        {"input ends in a line", {}, "5\nhello", 1, std::nullopt, "no answer on standard input"},
        {"options answer the questions", {"--size", "1", "--nosound"}, "", 1, "", NO_LOADING_PICTURE},
        {"help", {"--help"}, "", 0, std::nullopt, "--size 1|2"},
        {"a bad size", {"--size", "3"}, "", 2, std::nullopt, "--size"},
        {"an unknown option", {"--frobnicate"}, "", 2, std::nullopt, "--frobnicate"},
        {"a missing data directory", {"--data", "/nonexistent/quorvane"}, "1\n2\n", 1, std::nullopt,
         "quorvane: no data directory at /nonexistent/quorvane\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> args = c.args;
        if (std::find(args.begin(), args.end(), "--data") == args.end())
            args.insert(args.begin(), {"--data", empty});
        const ProcessResult r = runProcess(PLAYER, args, c.input, {"DISPLAY=", "WAYLAND_DISPLAY="});
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.out) {
            EXPECT_EQ(r.out, *c.out);
        }
        EXPECT_NE((r.out + r.err).find(c.said), std::string::npos) << r.out << r.err;
        if (c.whole) {
            EXPECT_EQ(r.err, c.said);
        }
    }
}
