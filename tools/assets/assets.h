#pragma once
#include <string>

// The asset generator: every file of the data set, made deterministically
// from code. Each writer puts its files under the given data directory and
// returns false after printing a message naming the file that failed.

bool writePictures(const std::string& dataDir);   // gfx/*.jpg
bool writeScenes(const std::string& dataDir);     // objects/*.3ds
bool writeSong(const std::string& dataDir);       // song.mp3
