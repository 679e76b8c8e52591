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

// The check of the pictures: every picture of control/catalogue.h is read
// through once, so that a data set of one's own is judged whole, file by file, before
// the show loads any of them into its fixed-size buffers. Run with the check
// of the scenes.

// Returns 1 when every catalogue picture under the data directory is present,
// a readable JPEG and exactly the size of its buffer; otherwise 0, with
// report holding one line per picture that is not ("<file>: <what is
// wrong>", joined by '\n'). A picture that decodes with damage (a file cut
// short) passes; it is warned about, naming the file, through the picture
// warning handler of image/picture.h.
int checkPictures(std::string& report);

// Runs checkPictures and, when a picture does not fit, ends the program as a
// picture that cannot be loaded does: through the picture failure handler,
// with "Couldn´t load <first such file> file" as the first line and the
// report's lines after it.
void requirePictures();
