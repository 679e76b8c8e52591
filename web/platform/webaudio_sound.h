#pragma once
#include <string>

#include "control/sound.h"

// The song through WebAudio. The page creates the AudioContext on the click
// that starts the show (browsers allow sound only after one) and decodes the
// song while the data set loads; this device plays that decoded song through
// a gain node (the volume) and reads its position from the context's clock,
// smoothed (see page.js) so that it moves every frame and never runs back.
class WebAudioSound final : public SoundDevice {
public:
    bool init() override;
    std::string failure() const override { return failure_; }
    bool open(const std::string& path) override;
    void play() override;
    int positionMs() override;
    void setVolume(int volume) override;
    void close() override;

private:
    std::string failure_;
};
