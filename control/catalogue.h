#pragma once
#include <span>
#include <string_view>

// Every picture file the show loads, with the size of the buffer it is loaded
// into. The asset generator draws each file at exactly this size and the
// start-up loads each into a buffer of this size, so the two cannot drift.

struct CatalogueEntry {
    const char* buffer;   // the buffer it fills: "picture22"; mesh pictures
                          // name the mesh field ("texture", "flarePicture")
    const char* path;     // show path, "data/gfx/pic22.jpg"
    int width;            // pixels; always a multiple of 4
    int height;
};

// All entries, each file once: the full-screen and overlay pictures first,
// then the mesh textures and flare sprites.
std::span<const CatalogueEntry> pictureCatalogue();

// The entry whose path is path, or nullptr.
const CatalogueEntry* findCatalogueEntry(std::string_view path);
