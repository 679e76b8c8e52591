#include "tools/assets/song.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "tools/assets/assets.h"
#include "tools/assets/synth_song.h"

bool encodeMp3(const std::vector<std::int16_t>& pcm, std::vector<unsigned char>& mp3)
{
    mp3.clear();
    lame_global_flags* lame = lame_init();
    if (!lame) {
        std::fprintf(stderr, "quorvane-assets: cannot start the MP3 encoder\n");
        return false;
    }
    lame_set_num_channels(lame, 2);
    lame_set_in_samplerate(lame, 44100);
    lame_set_out_samplerate(lame, 44100);
    lame_set_VBR(lame, vbr_off);
    lame_set_brate(lame, 192);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_quality(lame, 5);
    lame_set_write_id3tag_automatic(lame, 0);
    lame_set_bWriteVbrTag(lame, 1);
    if (lame_init_params(lame) < 0) {
        std::fprintf(stderr, "quorvane-assets: the MP3 encoder refused its settings\n");
        lame_close(lame);
        return false;
    }

    constexpr int CHUNK = 1152 * 32;   // frames per call
    std::vector<short> input(2 * CHUNK);
    std::vector<unsigned char> output(CHUNK + CHUNK / 4 + 7200);
    const std::size_t frames = pcm.size() / 2;
    bool ok = true;
    for (std::size_t at = 0; at < frames && ok; at += CHUNK) {
        const int count = static_cast<int>(std::min<std::size_t>(CHUNK, frames - at));
        std::copy(pcm.begin() + 2 * at, pcm.begin() + 2 * (at + count), input.begin());
        const int bytes = lame_encode_buffer_interleaved(lame, input.data(), count, output.data(),
                                                         static_cast<int>(output.size()));
        if (bytes < 0) ok = false;
        else mp3.insert(mp3.end(), output.begin(), output.begin() + bytes);
    }
    if (ok) {
        const int bytes = lame_encode_flush(lame, output.data(), static_cast<int>(output.size()));
        if (bytes < 0) ok = false;
        else mp3.insert(mp3.end(), output.begin(), output.begin() + bytes);
    }
    // The first frame was kept free for the info frame; fill it in now that
    // the length is known.
    if (ok) {
        const std::size_t tagBytes = lame_get_lametag_frame(lame, output.data(), output.size());
        if (tagBytes > mp3.size()) ok = false;
        else std::copy(output.begin(), output.begin() + tagBytes, mp3.begin());
    }
    lame_close(lame);
    if (!ok) std::fprintf(stderr, "quorvane-assets: the MP3 encoder failed\n");
    return ok;
}

bool writeSong(const std::string& dataDir)
{
    const std::string path = dataDir + "/song.mp3";
    std::vector<unsigned char> mp3;
    if (!encodeMp3(synthesizeSong(), mp3)) {
        std::fprintf(stderr, "quorvane-assets: cannot make %s\n", path.c_str());
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "quorvane-assets: cannot create %s\n", path.c_str());
        return false;
    }
    const bool written = std::fwrite(mp3.data(), 1, mp3.size(), file) == mp3.size();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "quorvane-assets: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
