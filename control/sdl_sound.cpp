#include "control/sdl_sound.h"

#include <SDL.h>
#include <mpg123.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int RATE = 44100;
constexpr int CHANNELS = 2;
constexpr int BUFFER_FRAMES = 1024;

std::int64_t nowMicros()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

class SdlSound final : public SoundDevice {
public:
    explicit SdlSound(int offsetMs) : offsetMs_(offsetMs) {}

    bool init() override
    {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            failure_ = SDL_GetError();
            return false;
        }
        SDL_AudioSpec want{}, have{};
        want.freq = RATE;
        want.format = AUDIO_S16SYS;
        want.channels = CHANNELS;
        want.samples = BUFFER_FRAMES;
        want.callback = &SdlSound::callback;
        want.userdata = this;
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0) {
            failure_ = SDL_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        bufferFrames_ = have.samples;
        return true;
    }

    std::string failure() const override { return failure_; }

    bool open(const std::string& path) override
    {
        path_ = path;
        if (mpg123_init() != MPG123_OK) return false;
        int error = 0;
        decoder_ = mpg123_new(nullptr, &error);
        if (!decoder_) return false;
        mpg123_param(decoder_, MPG123_FLAGS, MPG123_FORCE_STEREO | MPG123_QUIET, 0.0);
        mpg123_param(decoder_, MPG123_FORCE_RATE, RATE, 0.0);
        mpg123_format_none(decoder_);
        mpg123_format(decoder_, RATE, MPG123_STEREO, MPG123_ENC_SIGNED_16);
        if (mpg123_open(decoder_, path.c_str()) != MPG123_OK) {
            mpg123_delete(decoder_);
            decoder_ = nullptr;
            return false;
        }
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_getformat(decoder_, &rate, &channels, &encoding) != MPG123_OK ||
            rate != RATE || channels != CHANNELS) {
            mpg123_close(decoder_);
            mpg123_delete(decoder_);
            decoder_ = nullptr;
            return false;
        }
        return true;
    }

    void play() override
    {
        if (device_) SDL_PauseAudioDevice(device_, 0);
    }

    int positionMs() override
    {
        reportEnd();
        std::int64_t micros = 0;
        if (held_) {
            micros = heldFrame_ * 1000000 / RATE + std::int64_t{offsetMs_} * 1000;
        } else {
            const std::int64_t frames = framesDone_.load(std::memory_order_acquire);
            const std::int64_t at = callbackMicros_.load(std::memory_order_acquire);
            if (at == 0 && frames == 0) return 0;
            if (at == 0) {
                // Started or resumed part-way, before the first callback.
                micros = frames * 1000000 / RATE + std::int64_t{offsetMs_} * 1000;
            } else {
                micros = heardMicros(frames, at) + std::int64_t{offsetMs_} * 1000;
            }
        }
        const int ms = static_cast<int>(std::max<std::int64_t>(0, micros / 1000));
        // The clock never runs backwards.
        if (ms < lastMs_) return lastMs_;
        lastMs_ = ms;
        return ms;
    }

    void playAt(int ms) override
    {
        const std::int64_t heard = std::max<std::int64_t>(0, std::int64_t{ms} - offsetMs_);
        moveTo(heard * RATE / 1000);
        lastMs_ = std::max(lastMs_, ms);
        play();
    }

    // The device stops asking for sound; the decoder is moved back to the
    // sample heard at this moment when the song goes on.
    void pause() override
    {
        if (!device_ || held_) return;
        SDL_PauseAudioDevice(device_, 1);
        const std::int64_t frames = framesDone_.load(std::memory_order_acquire);
        const std::int64_t at = callbackMicros_.load(std::memory_order_acquire);
        heldFrame_ = at == 0 ? frames : heardMicros(frames, at) * RATE / 1000000;
        // Not behind what the clock has already read, so that it stands
        // still at that reading and every step moves it on.
        const std::int64_t shown = std::int64_t{lastMs_} - offsetMs_;
        heldFrame_ = std::max(heldFrame_, (shown * RATE + 999) / 1000);
        held_ = true;
    }

    void resume() override
    {
        if (!held_) return;
        moveTo(heldFrame_);
        held_ = false;
        SDL_PauseAudioDevice(device_, 0);
    }

    void step(int fps) override
    {
        if (held_ && fps > 0) heldFrame_ += RATE / fps;
    }

    void setVolume(int volume) override
    {
        volume_.store(std::clamp(volume, 0, 255), std::memory_order_relaxed);
    }

    void close() override
    {
        if (device_) SDL_CloseAudioDevice(device_);
        device_ = 0;
        if (decoder_) {
            mpg123_close(decoder_);
            mpg123_delete(decoder_);
        }
        decoder_ = nullptr;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

private:
    static void callback(void* self, Uint8* stream, int length)
    {
        static_cast<SdlSound*>(self)->fill(stream, length);
    }

    // Microseconds of the song heard now: the callback has just handed over
    // frames up to `frames`; the device still holds about one buffer of them
    // when it asks for the next.
    std::int64_t heardMicros(std::int64_t frames, std::int64_t at) const
    {
        std::int64_t micros = (frames - bufferFrames_) * 1000000 / RATE;
        const std::int64_t since = nowMicros() - at;
        return micros + std::min<std::int64_t>(since, std::int64_t{bufferFrames_} * 1000000 / RATE);
    }

    // Puts the decoder at sample frame `frame`; the count of frames handed
    // over starts there, so the position reads it until the next callback.
    void moveTo(std::int64_t frame)
    {
        if (device_) SDL_LockAudioDevice(device_);
        // Past the end of a song that has run out it stays silent, and its
        // end is not reported again.
        const bool ended = finished_.load(std::memory_order_relaxed) && frame >= endFrame_;
        if (decoder_ && !ended) {
            mpg123_seek(decoder_, static_cast<off_t>(frame), SEEK_SET);
            finished_.store(false, std::memory_order_relaxed);
            endReported_ = false;
        }
        framesDone_.store(frame, std::memory_order_release);
        callbackMicros_.store(0, std::memory_order_release);
        if (device_) SDL_UnlockAudioDevice(device_);
    }

    // Hands the device the next stretch of the song. Once the decoder has
    // reached the end or failed, the stretch is silence, still counted: the
    // device plays on, and so does the clock.
    void fill(Uint8* stream, int length)
    {
        std::size_t done = 0;
        if (decoder_ && !finished_.load(std::memory_order_relaxed)) {
            while (done < static_cast<std::size_t>(length)) {
                std::size_t got = 0;
                const int result = mpg123_read(decoder_, stream + done, length - done, &got);
                done += got;
                if (result == MPG123_DONE || result == MPG123_ERR ||
                    (got == 0 && result != MPG123_NEW_FORMAT)) {
                    endError_ = result == MPG123_DONE ? MPG123_OK
                                : result == MPG123_ERR ? mpg123_errcode(decoder_)
                                                       : result;
                    endFrame_ = framesDone_.load(std::memory_order_relaxed) +
                                static_cast<std::int64_t>(done / 4);
                    finished_.store(true, std::memory_order_release);
                    break;
                }
            }
        }
        std::memset(stream + done, 0, length - done);
        const int volume = volume_.load(std::memory_order_relaxed);
        if (volume != 255) {
            auto* samples = reinterpret_cast<std::int16_t*>(stream);
            for (std::size_t i = 0; i < done / 2; ++i) samples[i] = static_cast<std::int16_t>(samples[i] * volume / 255);
        }
        framesDone_.store(framesDone_.load(std::memory_order_relaxed) + length / 4,
                          std::memory_order_release);
        callbackMicros_.store(nowMicros(), std::memory_order_release);
    }

    // One line on standard error once the song has run out or stopped
    // decoding; read on the show's thread, not in the callback.
    void reportEnd()
    {
        if (endReported_ || !finished_.load(std::memory_order_acquire)) return;
        endReported_ = true;
        const double seconds = static_cast<double>(endFrame_) / RATE;
        if (endError_ == MPG123_OK)
            std::fprintf(stderr, "quorvane: the song %s ends at %.2f s; the show runs on in silence\n",
                         path_.c_str(), seconds);
        else
            std::fprintf(stderr,
                         "quorvane: the song %s cannot be decoded past %.2f s (%s); the show runs "
                         "on in silence\n",
                         path_.c_str(), seconds, mpg123_plain_strerror(endError_));
    }

    int offsetMs_;
    SDL_AudioDeviceID device_ = 0;
    mpg123_handle* decoder_ = nullptr;
    int bufferFrames_ = BUFFER_FRAMES;
    std::string path_;
    std::string failure_;
    // Written by the callback before finished_ is set, read after it.
    int endError_ = MPG123_OK;
    std::int64_t endFrame_ = 0;
    std::atomic<bool> finished_{false};
    bool endReported_ = false;
    int lastMs_ = 0;
    // Paused: the sample frame the song stands at.
    bool held_ = false;
    std::int64_t heldFrame_ = 0;
    std::atomic<int> volume_{255};
    std::atomic<std::int64_t> framesDone_{0};
    std::atomic<std::int64_t> callbackMicros_{0};
};

}  // namespace

SoundDevice* createSdlSound(int offsetMs)
{
    return new SdlSound(offsetMs);
}
