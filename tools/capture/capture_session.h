#pragma once
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "display/memory_display.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/frame_outputs.h"
#include "tools/capture/frame_sheet.h"
#include "tools/capture/sound_track.h"
#include "control/virtual_clock.h"

// One capture: the show's main flow run on the virtual clock, with every
// pass of its loops giving one frame, the picture on screen after that pass.

// The display the capture shows the show on: a memory display whose Escape
// key is whatever the capture decides.
class CaptureDisplay final : public MemoryDisplay {
public:
    bool escapePressed() override
    {
        ++polls;
        return onEscapePoll ? onEscapePoll() : false;
    }
    std::function<bool()> onEscapePoll;
};

// What is known of one frame.
struct FrameRecord {
    std::int64_t pass = 0;      // passes since the timers started
    std::int64_t clockMs = 0;   // virtual time of the pass, ms since the timers started
    bool loading = true;        // drawn before the first part (loading picture and fade)
    std::int64_t showMs = -1;   // the music clock the frame was drawn at; -1 while loading
    int part = -1;              // the part index that drew it; -1 while loading
    bool written = false;       // between --from and --to
    std::uint64_t hash = 0;     // of the frame's bytes, for written frames
};

// Set from a signal handler (Ctrl-C, a termination request): the capture
// stops at the end of the pass it is in and removes what it began.
extern volatile std::sig_atomic_t captureInterrupted;

// Nearest-rank percentile of sorted values (p in 1..100); 0 for none.
double nearestRank(const std::vector<double>& sorted, int p);

class CaptureSession {
public:
    explicit CaptureSession(const CaptureOptions& options);
    ~CaptureSession();

    // Checks and opens every output (ffmpeg found, files writable). On
    // failure nothing is left behind and error says why.
    bool openOutputs(std::string& error);
    // Plays the show from the loading picture to the end time, then
    // completes the outputs. Returns the exit status; prints the closing
    // lines (statistics, then "hash: ...").
    int run();
    // Removes everything not yet complete; runs at exit too.
    void abandonOutputs();

    VirtualClock& clock() { return clock_; }
    VirtualSound& sound() { return sound_; }
    CaptureDisplay& display() { return display_; }
    std::uint64_t runHash() const { return runHash_; }
    long framesWritten() const { return written_; }
    long framesRendered() const { return rendered_; }

    // Called with every frame after it is recorded (tests watch here).
    std::function<void(const FrameRecord&, const std::uint32_t*)> onFrame;

private:
    void handlePass();
    void writeFrame(FrameRecord& record);
    void loadSong();
    TrackCut trackCut(std::int64_t firstPass, std::int64_t endPass) const;
    bool finishOutputs(std::string& error);
    [[noreturn]] void fail(const std::string& error);
    void showProgress(const FrameRecord& record, bool force);
    std::string manifestText() const;
    std::string statsText() const;
    std::FILE* textOut() const;

    CaptureOptions options_;
    VirtualClock clock_;
    VirtualSound sound_;
    CaptureDisplay display_;
    std::unique_ptr<VideoEncoder> video_;
    std::unique_ptr<FrameSequence> frames_;
    std::unique_ptr<PendingFile> sheetFile_;
    std::unique_ptr<PendingFile> manifestFile_;
    std::unique_ptr<FrameSheet> sheet_;

    bool polled_ = false;
    std::int64_t polledMs_ = 0;
    int partOfPass_ = 0;
    long rendered_ = 0;
    long written_ = 0;
    long pastEnd_ = 0;   // drawn at --to or later, so not written
    std::int64_t firstWrittenPass_ = -1;
    std::int64_t lastWrittenPass_ = -1;
    std::uint64_t runHash_ = HASH_BASIS;
    std::vector<std::int16_t> song_;   // stereo at TRACK_RATE, empty without a song
    std::vector<std::uint32_t> frame_;
    std::vector<unsigned char> yuv_;
    std::string manifestLines_;

    using Clock = std::chrono::steady_clock;
    Clock::time_point startTime_{}, lastMark_{}, lastProgress_{};
    bool progress_ = false;
    std::map<int, std::vector<double>> frameTimes_;   // ms, by part (-1 loading)
    // Each part's slowest frame: its time in ms and its show time (clock time
    // while loading).
    std::map<int, std::pair<double, std::int64_t>> slowest_;
};
