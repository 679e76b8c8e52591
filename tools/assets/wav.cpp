#include "tools/assets/wav.h"

#include <cstdio>

namespace {

void putLittle(std::vector<unsigned char>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void putTag(std::vector<unsigned char>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

}  // namespace

bool writeWav(const std::string& path, const std::vector<std::int16_t>& samples, int channels,
              int sampleRate)
{
    if (channels < 1 || sampleRate < 1 || samples.size() % channels != 0 ||
        samples.size() * 2 > 0xFFFFFFFFu - 36) {
        std::fprintf(stderr, "quorvane-assets: cannot write %s: bad sample layout\n", path.c_str());
        return false;
    }
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<unsigned char> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    putLittle(out, 36 + dataBytes, 4);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    putLittle(out, 16, 4);
    putLittle(out, 1, 2);   // integer PCM
    putLittle(out, channels, 2);
    putLittle(out, sampleRate, 4);
    putLittle(out, sampleRate * channels * 2, 4);   // bytes per second
    putLittle(out, channels * 2, 2);                // bytes per frame
    putLittle(out, 16, 2);
    putTag(out, "data");
    putLittle(out, dataBytes, 4);
    for (std::int16_t s : samples) putLittle(out, static_cast<std::uint16_t>(s), 2);

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "quorvane-assets: cannot create %s\n", path.c_str());
        return false;
    }
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "quorvane-assets: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
