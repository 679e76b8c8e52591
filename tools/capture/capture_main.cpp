#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "control/options.h"
#include "image/picture.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/capture_session.h"

int main(int argc, char** argv)
{
    CaptureOptions options;
    std::string error;
    if (!parseCaptureOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "quorvane-capture: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(captureUsage(), stdout);
        return 0;
    }
    // A reader or encoder that goes away shows up as a failed write.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGINT, [](int) { captureInterrupted = 1; });
    std::signal(SIGTERM, [](int) { captureInterrupted = 1; });

    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string();
    const std::string dataDir = findDataDirectory(options.dataDir, exe, error);
    if (dataDir.empty()) {
        std::fprintf(stderr, "quorvane-capture: %s\n", error.c_str());
        return 1;
    }
    setDataDirectory(dataDir);

    CaptureSession session(options);
    if (!session.openOutputs(error)) {
        std::fprintf(stderr, "quorvane-capture: %s\n", error.c_str());
        return 1;
    }
    return session.run();
}
