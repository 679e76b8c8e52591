#include "tools/capture/sound_track.h"

#include <mpg123.h>

#include <cstddef>
#include <memory>

bool decodeSong(const std::string& path, std::vector<std::int16_t>& samples, std::string& error)
{
    samples.clear();
    if (mpg123_init() != MPG123_OK) {
        error = "cannot start the MP3 decoder";
        return false;
    }
    int status = 0;
    std::unique_ptr<mpg123_handle, void (*)(mpg123_handle*)> decoder(mpg123_new(nullptr, &status),
                                                                     mpg123_delete);
    if (!decoder) {
        error = "cannot start the MP3 decoder";
        return false;
    }
    mpg123_handle* d = decoder.get();
    mpg123_param(d, MPG123_FLAGS, MPG123_FORCE_STEREO | MPG123_QUIET, 0.0);
    mpg123_param(d, MPG123_FORCE_RATE, TRACK_RATE, 0.0);
    mpg123_format_none(d);
    mpg123_format(d, TRACK_RATE, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(d, path.c_str()) != MPG123_OK) {
        error = "cannot open " + path + " as MP3";
        return false;
    }
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(d, &rate, &channels, &encoding) != MPG123_OK || rate != TRACK_RATE ||
        channels != TRACK_CHANNELS || encoding != MPG123_ENC_SIGNED_16) {
        mpg123_close(d);
        error = "cannot decode " + path + " to 16-bit stereo at 44100 Hz";
        return false;
    }
    std::vector<unsigned char> buffer(1 << 16);
    for (;;) {
        std::size_t done = 0;
        status = mpg123_read(d, buffer.data(), buffer.size(), &done);
        const std::size_t old = samples.size();
        samples.resize(old + done / 2);
        for (std::size_t i = 0; i < done / 2; ++i) {
            samples[old + i] = static_cast<std::int16_t>(buffer[2 * i] | (buffer[2 * i + 1] << 8));
        }
        if (status == MPG123_DONE) break;
        if (status != MPG123_OK && status != MPG123_NEW_FORMAT) {
            mpg123_close(d);
            error = "cannot decode " + path + ": " + mpg123_strerror(d);
            return false;
        }
    }
    mpg123_close(d);
    if (samples.size() % TRACK_CHANNELS) samples.pop_back();
    return true;
}

std::vector<std::int16_t> cutSoundTrack(const std::vector<std::int16_t>& song, const TrackCut& cut,
                                        const std::vector<VolumeChange>& changes)
{
    const std::int64_t start = passSample(cut.firstPass, cut.fps, cut.rate);
    const std::int64_t end = passSample(cut.endPass, cut.fps, cut.rate);
    if (end <= start) return {};
    std::vector<std::int16_t> track(static_cast<std::size_t>(end - start) * TRACK_CHANNELS, 0);
    if (!cut.songPlayed) return track;

    const std::int64_t songStart = passSample(cut.playPass, cut.fps, cut.rate);
    const std::int64_t songFrames = static_cast<std::int64_t>(song.size()) / TRACK_CHANNELS;
    std::size_t next = 0;
    int volume = 255;
    for (std::int64_t c = start; c < end; ++c) {
        while (next < changes.size() &&
               passSample(changes[next].pass, cut.fps, cut.rate) <= c) {
            volume = changes[next++].volume;
        }
        const std::int64_t s = c - songStart;
        if (s < 0 || s >= songFrames) continue;
        for (int ch = 0; ch < TRACK_CHANNELS; ++ch) {
            const int value = song[static_cast<std::size_t>(s * TRACK_CHANNELS + ch)];
            track[static_cast<std::size_t>((c - start) * TRACK_CHANNELS + ch)] =
                static_cast<std::int16_t>(value * volume / 255);
        }
    }
    return track;
}
