#pragma once
#include <string>

// The music: one MP3 stream whose play position is the show's clock. The
// player plays it through the sound card; the capture follows a virtual
// clock instead. Without sound nothing of this is ever initialised, and the
// calls the show still makes have no effect.

class SoundDevice {
public:
    virtual ~SoundDevice() = default;
    // Brings up the sound output. False ends the program with status 1.
    virtual bool init() = 0;
    // Why the last init() failed, in the sound library's words; empty when
    // it did not say.
    virtual std::string failure() const { return {}; }
    // Opens the song. False when it cannot be read.
    virtual bool open(const std::string& path) = 0;
    virtual void play() = 0;
    // Starts the song at ms instead of its beginning; positionMs reads ms
    // there. Devices that cannot seek start at the beginning.
    virtual void playAt(int ms)
    {
        (void)ms;
        play();
    }
    // Stops the song at the sample heard now; positionMs stands still until
    // resume, which plays on from that sample.
    virtual void pause() {}
    virtual void resume() {}
    // While paused: moves the song one frame of 1/fps s further, silently.
    virtual void step(int fps) { (void)fps; }
    // Milliseconds of the song heard so far.
    virtual int positionMs() = 0;
    // Master volume, 0..255.
    virtual void setVolume(int volume) = 0;
    // Stops and releases everything; safe to call more than once.
    virtual void close() = 0;
};

// The device the show uses; chosen once at start.
void setSoundDevice(SoundDevice* device);
SoundDevice* soundDevice();

// Initialises the sound output (on failure one line naming the cause and the
// way out, then status 1) and opens "data/song.mp3". A song that cannot be opened is reported on
// standard error and the show runs on the no-sound clock.
void initSound();

// The play position in ms while the song is open, else 0.
int musicPositionMs();
// Starts the song if it is open.
void playMusic();
// Starts the song at ms if it is open.
void playMusicAt(int ms);
// Pause, resume and one silent step of 1/fps s, if the song is open.
void pauseMusic();
void resumeMusic();
void stepMusic(int fps);
// Sets the master volume if the song is open.
void setMusicVolume(int volume);
// Closes the song and the sound output, then the display.
void shutDownAll();
