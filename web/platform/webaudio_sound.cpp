#include "web/platform/webaudio_sound.h"

#include <emscripten.h>

#include <algorithm>

namespace {
// clang-format off
EM_JS(int, audioReady, (), {
    return Module.page.audio.ready() ? 1 : 0;
});
EM_JS(int, audioOpen, (const char* path), {
    return Module.page.audio.open(UTF8ToString(path)) ? 1 : 0;
});
EM_JS(void, audioPlay, (), {
    Module.page.audio.play();
});
EM_JS(int, audioPositionMs, (), {
    return Module.page.audio.positionMs();
});
EM_JS(void, audioSetVolume, (int volume), {
    Module.page.audio.setVolume(volume);
});
EM_JS(void, audioClose, (), {
    Module.page.audio.close();
});
// clang-format on
}  // namespace

bool WebAudioSound::init()
{
    if (audioReady()) return true;
    failure_ = "the browser gave the page no audio output";
    return false;
}

bool WebAudioSound::open(const std::string& path)
{
    return audioOpen(path.c_str()) != 0;
}

void WebAudioSound::play()
{
    audioPlay();
}

int WebAudioSound::positionMs()
{
    return audioPositionMs();
}

void WebAudioSound::setVolume(int volume)
{
    audioSetVolume(std::clamp(volume, 0, 255));
}

void WebAudioSound::close()
{
    audioClose();
}
