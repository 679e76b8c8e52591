#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "control/sound.h"
#include "control/timer.h"

// Virtual time, for the capture, for the player while it runs ahead to a
// start time, and for its steps while paused: every pass of the show's
// loops lasts exactly 1000/fps ms. Time is kept as a count of passes, so the
// remainder of 1000/fps is carried exactly: after n passes the clock reads
// floor(n * 1000 / fps) ms. No thread and no sleeping.

// Whole milliseconds after n passes at fps.
inline std::int64_t passTimeMs(std::int64_t passes, int fps)
{
    return passes * 1000 / fps;
}

// Whole sample frames after n passes at fps, for a sound track at rate.
inline std::int64_t passSample(std::int64_t passes, int fps, int rate)
{
    return passes * rate / fps;
}

// Drives the show's timer callbacks. Nothing moves before startTimers; from
// then on each endOfPass first hands the finished pass to beforeAdvance, then
// moves the clock by one pass and calls onTimer10ms at every 10 ms boundary
// and onTimer1ms at every ms the pass crossed, in time order.
class VirtualClock final : public ShowClock {
public:
    explicit VirtualClock(int fps) : fps_(fps) {}

    void startTimers() override;
    void endOfPass() override;

    bool started() const { return started_; }
    int fps() const { return fps_; }
    // Passes completed since startTimers.
    std::int64_t passes() const { return passes_; }
    std::int64_t nowMs() const { return passTimeMs(passes_, fps_); }

    std::function<void()> onStart;
    std::function<void()> beforeAdvance;

private:
    int fps_;
    bool started_ = false;
    std::int64_t passes_ = 0;
};

// A volume change of the song, at the pass during which the show made it.
struct VolumeChange {
    std::int64_t pass = 0;
    int volume = 255;
};

// The song on the virtual clock: its position is the virtual time since
// play(), counted in whole passes from that moment, so the first frame of the
// show reads 0 and frame k reads floor(k * 1000 / fps). No sound is made;
// the song is decoded only when an output needs it.
class VirtualSound final : public SoundDevice {
public:
    explicit VirtualSound(const VirtualClock& clock) : clock_(clock) {}

    bool init() override { return true; }
    // True when the file can be read; the song is not decoded here.
    bool open(const std::string& path) override;
    void play() override;
    int positionMs() override;
    // Clamped to 0..255 and recorded with the pass it was made in.
    void setVolume(int volume) override;
    void close() override {}

    bool playing() const { return playing_; }
    // The pass at which the song started (valid once playing).
    std::int64_t playPass() const { return playPass_; }
    const std::string& songPath() const { return path_; }
    const std::vector<VolumeChange>& volumeChanges() const { return changes_; }

private:
    const VirtualClock& clock_;
    std::string path_;
    bool playing_ = false;
    std::int64_t playPass_ = 0;
    std::vector<VolumeChange> changes_;
};
