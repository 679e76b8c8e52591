#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "control/options.h"
#include "image/picture.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/capture_session.h"

namespace {

// The show's shared code signs its messages "quorvane: "; in this program
// they are signed "quorvane-capture: ". Standard error becomes a stream that
// rewrites that word at the start of a line (after a newline, or a carriage
// return that rewrites a progress line) and passes everything else
// through unchanged.
constexpr char SHOW_SIGNATURE[] = "quorvane: ";
constexpr char OWN_SIGNATURE[] = "quorvane-capture: ";

struct Relabel {
    std::string held;        // the start of a line while it still matches
    bool lineStart = true;
};

Relabel relabel;

ssize_t writeRelabelled(void* cookie, const char* data, std::size_t size)
{
    Relabel& r = *static_cast<Relabel*>(cookie);
    const std::size_t signatureLength = sizeof SHOW_SIGNATURE - 1;
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (!r.lineStart) {
            out.push_back(c);
            r.lineStart = c == '\n' || c == '\r';
            continue;
        }
        r.held.push_back(c);
        if (std::memcmp(r.held.data(), SHOW_SIGNATURE, r.held.size()) != 0) {
            out += r.held;
            r.held.clear();
            r.lineStart = c == '\n' || c == '\r';
        } else if (r.held.size() == signatureLength) {
            out += OWN_SIGNATURE;
            r.held.clear();
            r.lineStart = false;
        }
    }
    for (std::size_t done = 0; done < out.size();) {
        const ssize_t n = write(STDERR_FILENO, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(size);
}

void relabelStandardError()
{
    cookie_io_functions_t functions{};
    functions.write = writeRelabelled;
    std::FILE* stream = fopencookie(&relabel, "w", functions);
    if (!stream) return;
    std::setvbuf(stream, nullptr, _IONBF, 0);
    stderr = stream;
}

void onStopSignal(int)
{
    captureInterrupted = 1;
}

}  // namespace

int main(int argc, char** argv)
{
    relabelStandardError();
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
    // Without SA_RESTART, so that a wait for a FIFO's reader ends too.
    struct sigaction stop {};
    stop.sa_handler = onStopSignal;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);

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
