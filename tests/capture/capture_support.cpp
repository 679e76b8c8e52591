#include "tests/capture/capture_support.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace fs = std::filesystem;

std::vector<ManifestFrame> manifestFrames(const std::string& text)
{
    std::istringstream in(text.substr(std::min(text.find("# frame"), text.size())));
    std::string index, show, part;
    std::getline(in, index);   // the header line
    std::vector<ManifestFrame> frames;
    ManifestFrame f;
    while (in >> index >> f.pass >> f.clockMs >> show >> part >> f.hash) {
        f.showMs = show == "-" ? -1 : std::stoll(show);
        f.part = part == "loading" ? -1 : std::stoi(part);
        frames.push_back(f);
    }
    return frames;
}

void CaptureProgramTest::SetUp()
{
    dir = freshDirectory(::testing::UnitTest::GetInstance()->current_test_info()->name());
}

void CaptureProgramTest::TearDown()
{
    fs::remove_all(dir);
}

CaptureRun CaptureProgramTest::capture(const std::string& args, const std::string& prefix,
                                       const std::string& program)
{
    const fs::path out = dir / "stdout", err = dir / "stderr";
    // The shell becomes the program, so the peak resident size is the program's.
    const std::string command = "cd '" + dir.string() + "' && exec " + prefix + " '" + program +
                                "' --data '" QUORVANE_DATA_DIR "' " + args + " >'" + out.string() +
                                "' 2>'" + err.string() + "'";
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("ASAN_OPTIONS", "detect_leaks=1", 1);
        setenv("UBSAN_OPTIONS", "print_stacktrace=1", 1);
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    CaptureRun run;
    int status = 0;
    rusage usage{};
    if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.peakKiB = usage.ru_maxrss;
    }
    run.out = readFile(out);
    run.err = readFile(err);
    return run;
}
