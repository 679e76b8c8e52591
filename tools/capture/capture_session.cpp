#include "tools/capture/capture_session.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "control/clock.h"
#include "control/startup.h"
#include "display/present.h"
#include "image/picture.h"
#include "tools/capture/sound_track.h"

volatile std::sig_atomic_t captureInterrupted = 0;

namespace {

// The session whose outputs are removed if the program ends half-way (a
// picture that cannot be loaded ends the show with exit()).
CaptureSession* activeSession = nullptr;

void abandonAtExit()
{
    if (activeSession) activeSession->abandonOutputs();
}

std::string secondsText(std::int64_t ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%03lld", static_cast<long long>(ms / 1000),
                  static_cast<long long>(ms % 1000));
    return text;
}

double millisBetween(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

}  // namespace

double nearestRank(const std::vector<double>& sorted, int p)
{
    if (sorted.empty()) return 0.0;
    const std::size_t n = sorted.size();
    std::size_t rank = (static_cast<std::size_t>(p) * n + 99) / 100;
    if (rank < 1) rank = 1;
    return sorted[std::min(rank, n) - 1];
}

CaptureSession::CaptureSession(const CaptureOptions& options)
    : options_(options), clock_(options.fps), sound_(clock_)
{
    clock_.onStart = [this] {
        startTime_ = Clock::now();
        lastMark_ = startTime_;
        lastProgress_ = startTime_;
    };
    clock_.beforeAdvance = [this] { handlePass(); };
    display_.onEscapePoll = [this] {
        // Escape is polled only in the timeline, after the part drew its frame.
        polled_ = true;
        polledMs_ = ticks(musicTimeMs);
        return polledMs_ >= options_.toMs;
    };
    progress_ = isatty(STDERR_FILENO) != 0;
}

CaptureSession::~CaptureSession()
{
    abandonOutputs();
    if (activeSession == this) activeSession = nullptr;
}

bool CaptureSession::openOutputs(std::string& error)
{
    const int width = options_.sizeAnswer == 2 ? 640 : 512;
    const int height = options_.sizeAnswer == 2 ? 480 : 384;
    bool ok = true;
    if (!options_.contactSheet.empty()) {
        sheetFile_ = std::make_unique<PendingFile>(options_.contactSheet);
        ok = sheetFile_->probe(error);
        const std::int64_t first = std::max<std::int64_t>(options_.fromMs, 0);
        sheet_ = std::make_unique<FrameSheet>(first, options_.toMs, options_.everyMs, width, height);
    }
    if (ok && !options_.manifest.empty()) {
        manifestFile_ = std::make_unique<PendingFile>(options_.manifest);
        ok = manifestFile_->probe(error);
    }
    if (ok && !options_.framesDir.empty()) {
        frames_ = std::make_unique<FrameSequence>(options_.framesDir);
        ok = frames_->start(error);
    }
    if (ok && (!options_.video.empty() || !options_.framesDir.empty())) loadSong();
    if (ok && !options_.video.empty()) {
        video_ = std::make_unique<VideoEncoder>(options_.video);
        ok = video_->start(width, height, options_.fps, error);
    }
    if (!ok) {
        abandonOutputs();
        return false;
    }
    if (!activeSession) {
        activeSession = this;
        std::atexit(abandonAtExit);
    }
    if (options_.y4m) {
        static char buffer[1 << 20];
        std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    }
    return true;
}

void CaptureSession::abandonOutputs()
{
    if (video_) video_->abandon();
    if (sheetFile_) sheetFile_->abandon();
    if (manifestFile_) manifestFile_->abandon();
}

void CaptureSession::fail(const std::string& error)
{
    if (progress_) std::fputs("\r\033[K", stderr);
    // An interruption also ends a write or a wait half-way; say what happened.
    std::fprintf(stderr, "quorvane-capture: %s\n", captureInterrupted ? "interrupted" : error.c_str());
    abandonOutputs();
    std::exit(1);
}

std::FILE* CaptureSession::textOut() const
{
    return options_.y4m ? stderr : stdout;
}

void CaptureSession::handlePass()
{
    if (!clock_.started()) return;
    if (captureInterrupted) fail("interrupted");
    FrameRecord record;
    record.pass = clock_.passes();
    record.clockMs = clock_.nowMs();
    record.loading = !polled_;
    if (!record.loading) {
        record.showMs = polledMs_;
        record.part = partOfPass_;
    }
    polled_ = false;
    partOfPass_ = currentPart;
    ++rendered_;

    if (record.loading) {
        record.written = options_.fromMs == NO_START_MS;
    } else {
        record.written = record.showMs >= options_.fromMs && record.showMs < options_.toMs;
    }
    if (record.written || onFrame) {
        const std::vector<unsigned char>& screen = display_.screen();
        frame_.resize(screen.size() / 4);
        std::memcpy(frame_.data(), screen.data(), frame_.size() * 4);
    }
    if (record.written) {
        writeFrame(record);
    } else if (!record.loading && record.showMs >= options_.toMs) {
        ++pastEnd_;
    }
    if (onFrame) onFrame(record, frame_.data());

    const Clock::time_point now = Clock::now();
    std::vector<double>& times = frameTimes_[record.part];
    const double took = millisBetween(lastMark_, now);
    auto& slowest = slowest_[record.part];
    if (times.empty() || took > slowest.first) {
        slowest = {took, record.loading ? record.clockMs : record.showMs};
    }
    times.push_back(took);
    lastMark_ = now;
    // While the show runs ahead to --from, its own line shows the progress.
    if (progress_ && !presentationMuted) showProgress(record, false);
}

void CaptureSession::writeFrame(FrameRecord& record)
{
    const int width = display_.width(), height = display_.height();
    record.hash = hashFrameBytes(frame_.data(), frame_.size() * 4);
    runHash_ = foldFrameHash(runHash_, record.hash);
    if (firstWrittenPass_ < 0) firstWrittenPass_ = record.pass;
    lastWrittenPass_ = record.pass;

    std::string error;
    if (video_) {
        if (!video_->writeFrame(frame_.data(), error)) fail(error);
        const std::vector<std::int16_t> sound =
            cutSoundTrack(song_, trackCut(record.pass, record.pass + 1), sound_.volumeChanges());
        if (!video_->writeSound(sound, error)) fail(error);
    }
    if (frames_ && !frames_->writeFrame(frame_.data(), width, height, error)) fail(error);
    if (options_.y4m) {
        if (written_ == 0) std::fputs(y4mHeader(width, height, options_.fps).c_str(), stdout);
        toYuv420(frame_.data(), width, height, yuv_);
        std::fputs("FRAME\n", stdout);
        if (std::fwrite(yuv_.data(), 1, yuv_.size(), stdout) != yuv_.size()) {
            fail("cannot write the Y4M stream to standard output");
        }
    }
    if (sheet_ && !record.loading) sheet_->offer(frame_.data(), record.showMs, record.part);
    if (manifestFile_) {
        char line[128];
        std::snprintf(line, sizeof line, "%ld %lld %lld %s %s %s\n", written_,
                      static_cast<long long>(record.pass), static_cast<long long>(record.clockMs),
                      record.loading ? "-" : std::to_string(record.showMs).c_str(),
                      record.loading ? "loading" : std::to_string(record.part).c_str(),
                      hexHash(record.hash).c_str());
        manifestLines_ += line;
    }
    ++written_;
}

void CaptureSession::showProgress(const FrameRecord& record, bool force)
{
    const Clock::time_point now = Clock::now();
    if (!force && now - lastProgress_ < std::chrono::milliseconds(250)) return;
    lastProgress_ = now;
    const double seconds = millisBetween(startTime_, now) / 1000.0;
    const double shown = record.loading ? 0.0 : static_cast<double>(record.showMs);
    const double total = static_cast<double>(options_.toMs);
    const double fps = seconds > 0 ? rendered_ / seconds : 0.0;
    const double pace = seconds > 0 ? shown / seconds : 0.0;   // show ms per second
    char left[32] = "?";
    if (pace > 0) {
        const long remaining = std::lround((total - shown) / pace);
        std::snprintf(left, sizeof left, "%ld:%02ld", remaining / 60, remaining % 60);
    }
    std::fprintf(stderr, "\r%5.1f%%  %8.1f frames/s  %s left \033[K",
                 total > 0 ? 100.0 * std::min(shown / total, 1.0) : 100.0, fps, left);
    std::fflush(stderr);
}

std::string CaptureSession::manifestText() const
{
    std::string text = "# quorvane-capture manifest\n";
    text += "size " + std::to_string(options_.sizeAnswer) + "\n";
    text += "fps " + std::to_string(options_.fps) + "\n";
    text += "from " + (options_.fromMs == NO_START_MS ? std::string("loading")
                                                      : secondsText(options_.fromMs)) + "\n";
    text += "to " + secondsText(options_.toMs) + "\n";
    text += "frames " + std::to_string(written_) + "\n";
    text += "hash " + hexHash(runHash_) + "\n";
    text += "# frame pass clock_ms show_ms part hash\n";
    return text + manifestLines_;
}

std::string CaptureSession::statsText() const
{
    const double seconds = millisBetween(startTime_, lastMark_) / 1000.0;
    char line[160];
    std::snprintf(line, sizeof line, "rendered %ld frames in %.2f s: %.1f frames/s\n", rendered_,
                  seconds, seconds > 0 ? rendered_ / seconds : 0.0);
    std::string text = line;
    // The show draws every frame up to the one that reaches --to; those
    // before --from and that last one are drawn but not written.
    const long early = rendered_ - written_ - pastEnd_;
    if (early > 0 && pastEnd_ > 0) {
        std::snprintf(line, sizeof line, "wrote %ld frames (not written: %ld before --from, %ld at --to)\n",
                      written_, early, pastEnd_);
    } else if (early > 0 || pastEnd_ > 0) {
        std::snprintf(line, sizeof line, "wrote %ld frames (not written: %ld %s)\n", written_,
                      early > 0 ? early : pastEnd_, early > 0 ? "before --from" : "at --to");
    } else {
        std::snprintf(line, sizeof line, "wrote %ld frames\n", written_);
    }
    text += line;
    text += "part     frames    min ms median ms    p95 ms    p99 ms    max ms  max at s\n";
    for (const auto& [part, times] : frameTimes_) {
        std::vector<double> sorted = times;
        std::sort(sorted.begin(), sorted.end());
        const std::string name = part < 0 ? "loading" : std::to_string(part);
        std::snprintf(line, sizeof line, "%-7s %7zu %9.3f %9.3f %9.3f %9.3f %9.3f %9s\n",
                      name.c_str(), sorted.size(), sorted.front(), nearestRank(sorted, 50),
                      nearestRank(sorted, 95), nearestRank(sorted, 99), sorted.back(),
                      secondsText(slowest_.at(part).second).c_str());
        text += line;
    }
    return text;
}

void CaptureSession::loadSong()
{
    // A song that cannot be read is reported by the show, which then runs on
    // its no-sound clock; the sound track is silent.
    const std::string path = dataPath("data/song.mp3");
    if (!std::ifstream(path, std::ios::binary)) return;
    // Like the player, keep what decodes and go on in silence after it.
    std::string reason;
    if (!decodeSong(path, song_, reason)) {
        const std::int64_t decodedMs =
            static_cast<std::int64_t>(song_.size() / TRACK_CHANNELS) * 1000 / TRACK_RATE;
        std::fprintf(stderr, "quorvane-capture: %s; the sound track is silent from %s s on\n",
                     reason.c_str(), secondsText(decodedMs).c_str());
    } else if (song_.empty()) {
        std::fprintf(stderr, "quorvane-capture: %s holds no MP3 sound; the sound track is silent\n",
                     path.c_str());
    }
}

TrackCut CaptureSession::trackCut(std::int64_t firstPass, std::int64_t endPass) const
{
    TrackCut cut;
    cut.fps = options_.fps;
    cut.firstPass = firstPass;
    cut.endPass = endPass;
    cut.songPlayed = sound_.playing();
    cut.playPass = sound_.playPass();
    return cut;
}

bool CaptureSession::finishOutputs(std::string& error)
{
    if (written_ == 0) {
        error = "no frame of the show lies between --from and --to";
        return false;
    }
    if ((frames_ || video_) && sound_.playing() && !song_.empty()) {
        const std::int64_t songFrames = static_cast<std::int64_t>(song_.size() / TRACK_CHANNELS);
        const std::int64_t heard = passSample(lastWrittenPass_ + 1, options_.fps, TRACK_RATE) -
                                   passSample(sound_.playPass(), options_.fps, TRACK_RATE);
        if (heard > songFrames) {
            std::fprintf(stderr, "quorvane-capture: the song ends at %s s; the sound track is silent after it\n",
                         secondsText(songFrames * 1000 / TRACK_RATE).c_str());
        }
    }
    if (frames_) {
        const std::vector<std::int16_t> track = cutSoundTrack(
            song_, trackCut(firstWrittenPass_, lastWrittenPass_ + 1), sound_.volumeChanges());
        if (!frames_->writeSound(track, error)) return false;
    }
    if (video_ && !video_->finish(error)) return false;
    if (sheet_) {
        if (!sheet_->write(sheetFile_->temporaryPath(), error)) {
            error = sheetFile_->ownMessage(error);
            return false;
        }
        if (!sheetFile_->commit(error)) return false;
    }
    if (manifestFile_) {
        if (!writeWholeFile(manifestFile_->temporaryPath(), manifestText(), error)) {
            error = manifestFile_->ownMessage(error);
            return false;
        }
        if (!manifestFile_->commit(error)) return false;
    }
    return true;
}

int CaptureSession::run()
{
    ShowOptions show;
    show.sizeAnswer = options_.sizeAnswer;
    show.soundAnswer = 1;
    show.startMs = options_.fromMs;
    ShowPlatform platform;
    platform.virtualTime = true;
    platform.display = &display_;
    platform.sound = &sound_;
    platform.clock = &clock_;
    if (runShow(show, platform) != 0) fail("the show could not start");
    if (progress_) std::fputs("\r\033[K", stderr);
    if (options_.y4m && std::fflush(stdout) != 0) fail("cannot write the Y4M stream to standard output");
    std::string error;
    if (!finishOutputs(error)) fail(error);
    std::FILE* out = textOut();
    if (options_.stats) std::fputs(statsText().c_str(), out);
    std::fprintf(out, "hash: %s\n", hexHash(runHash_).c_str());
    std::fflush(out);
    return 0;
}
