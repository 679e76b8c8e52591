#pragma once
#include <string>

#include "control/catalogue.h"
#include "tools/assets/paint.h"

// The show's pictures, drawn procedurally. Every file of the picture
// catalogue has a painter; writePictures (assets.h) paints each at its
// catalogue size, writes it as a JPEG under gfx/ and then writes
// contact-sheet.png beside gfx/ with every picture as read back from disk
// (those that start-up darkens shown darkened, their label saying by how much).

// Paints the picture of entry into canvas, which has the entry's size.
// Returns false with a message naming the file when it cannot be painted.
bool paintPicture(const CatalogueEntry& entry, Canvas& canvas, std::string& error);

// The file name part of a show path: "data/gfx/pic01.jpg" gives "pic01.jpg".
std::string fileNameOf(const char* path);
