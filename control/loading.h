#pragma once

// Fills the sixteen scenes from their files, in the show's order. A file
// that cannot be read ends the program with a message naming it.
void loadScenes();

// Ends the program with a message when a loaded scene lacks a mesh that the
// show addresses.
void checkLoadedScenes();
