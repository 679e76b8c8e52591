#include "control/sound.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "control/clock.h"
#include "display/present.h"
#include "image/picture.h"

namespace {
SoundDevice* currentSound = nullptr;
bool soundUp = false;
bool songOpen = false;
}  // namespace

void setSoundDevice(SoundDevice* device)
{
    currentSound = device;
}

SoundDevice* soundDevice()
{
    return currentSound;
}

void initSound()
{
    if (!currentSound || !currentSound->init()) {
        const std::string cause = currentSound ? currentSound->failure() : std::string();
        std::fprintf(stderr,
                     "quorvane: no working sound device (%s); run with --nosound, or answer 2 "
                     "for no sound\n",
                     cause.empty() ? "no reason given" : cause.c_str());
        std::exit(1);
    }
    soundUp = true;
    const std::string path = dataPath("data/song.mp3");
    songOpen = currentSound->open(path);
    if (!songOpen) {
        std::fprintf(stderr, "quorvane: cannot play %s; the show runs without music\n",
                     path.c_str());
        soundChoice = 2;
    }
}

int musicPositionMs()
{
    return songOpen ? currentSound->positionMs() : 0;
}

void playMusic()
{
    if (songOpen) currentSound->play();
}

void playMusicAt(int ms)
{
    if (songOpen) currentSound->playAt(ms);
}

void pauseMusic()
{
    if (songOpen) currentSound->pause();
}

void resumeMusic()
{
    if (songOpen) currentSound->resume();
}

void stepMusic(int fps)
{
    if (songOpen) currentSound->step(fps);
}

void setMusicVolume(int volume)
{
    if (songOpen) currentSound->setVolume(volume);
}

void shutDownAll()
{
    if (soundUp && currentSound) currentSound->close();
    songOpen = false;
    soundUp = false;
    closeDisplay();
}
