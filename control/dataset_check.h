#pragma once
#include <string>

// The check of the loaded data set: the scene preparation and the parts of
// the show address meshes by fixed indices (mesh 1, mesh 2, ..., the last
// mesh, one index shared by scene9 and scene9b, one cue counter per entry of
// scene11), so a scene file with too few or too many objects would make them
// read past the mesh array. Run right after the sixteen scenes are loaded.

// Checks the sixteen scene slots of control/scenes.h. Returns 1 when every
// scene holds what the show addresses; otherwise 0, with report holding one
// line per problem (lines joined by '\n', no trailing newline), each naming
// the scene's file and what is missing or too much.
int checkDataSet(std::string& report);
