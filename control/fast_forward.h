#pragma once
#include <cstdint>
#include <string>

// Starting the show part-way. The frame functions carry state from frame to
// frame and draw from one random sequence, so the show is run from its
// beginning on virtual time, every frame drawn and none shown, up to the
// start time; the first frame at or after it is shown, and the show goes
// on from there. The player and the capture share this path.

constexpr std::int64_t SHOW_END_MS = 234300;      // the closing picture starts
constexpr std::int64_t CLOSING_HOLD_MS = 10000;   // it has darkened to black by then
constexpr std::int64_t LAST_START_MS = SHOW_END_MS + CLOSING_HOLD_MS;
constexpr std::int64_t NO_START_MS = -1;          // from the loading picture, in real time
// Frames per second of the virtual time the player runs ahead on.
constexpr int RUN_AHEAD_FPS = 60;

// Reads seconds such as "12", "0.5" or "234.3" as whole milliseconds; no sign,
// no exponent, at most three decimals. False for anything else.
bool parseSeconds(const std::string& text, std::int64_t& ms);

// Reads the value of a start option (named in messages): seconds from 0 to
// LAST_START_MS. False with a one-line reason in error.
bool parseStartTime(const std::string& option, const std::string& text, std::int64_t& ms,
                    std::string& error);

// "m:ss.mmm" of a show time in ms.
std::string showTimeText(std::int64_t ms);

// The console line while running ahead: on standard error when it is a
// terminal, at most four times a second, rewritten in place; finishRunAhead
// replaces it with how long the run took. Nothing when standard error is
// not a terminal.
void beginRunAhead(std::int64_t startMs);
void showRunAhead(std::int64_t nowMs);
void finishRunAhead(std::int64_t reachedMs);

// When the environment names a file in QUORVANE_START_PICTURE, writes the
// picture now on screen (retainedPicture, displayWidth x displayHeight) to
// it as a binary PPM. For comparing the first frame after a start between
// the player and the capture.
void writeStartPicture();
