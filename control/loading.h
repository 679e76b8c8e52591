#pragma once

// Fills the sixteen scenes from their files, in the show's order. A file
// that cannot be read ends the program with a message naming it.
void loadScenes();

// Ends the program with a message when a loaded scene lacks a mesh that the
// show addresses, or when a picture of the catalogue is missing, unreadable
// or of another size than its buffer (all of them named at once).
void checkLoadedScenes();
