#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/files.h"

// Shared by the capture tests: runs of the capture program and the frame
// lines of its manifests.

// The capture program, and the same built with AddressSanitizer and
// UndefinedBehaviorSanitizer.
inline const std::string CAPTURE_PROGRAM = std::string(QUORVANE_BINARY_DIR) + "/quorvane-capture";
inline const std::string CHECKED_CAPTURE_PROGRAM = CAPTURE_PROGRAM + "-checked";

struct CaptureRun {
    int status = -1;    // -1 when the program did not exit by itself
    long peakKiB = 0;   // the program's largest resident size
    std::string out, err;
};

// One frame line of a manifest; show time and part are -1 while loading.
struct ManifestFrame {
    long long pass = 0, clockMs = 0, showMs = -1;
    int part = -1;
    std::string hash;
};

// The frame lines of a manifest's text, those after its "# frame" line.
std::vector<ManifestFrame> manifestFrames(const std::string& text);

// Each test gets a fresh folder of its own, removed afterwards, in which
// the capture program runs as a user runs it.
class CaptureProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs program on the built data set with args as the shell takes them,
    // prefix (an environment such as "env PATH=/x") before it, and keeps its
    // output in dir's stdout and stderr.
    CaptureRun capture(const std::string& args, const std::string& prefix = "",
                       const std::string& program = CAPTURE_PROGRAM);

    std::filesystem::path dir;
};
