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
    // Start-up darkens some pictures right after loading them, with
    // adjustBrightness over their first darkenedRows rows by -darkening.
    // Both are 0 for the others.
    int darkening;
    int darkenedRows;
};

// All entries, each file once: the full-screen and overlay pictures first,
// then the mesh textures and flare sprites.
std::span<const CatalogueEntry> pictureCatalogue();

// The entry whose path is path, or nullptr.
const CatalogueEntry* findCatalogueEntry(std::string_view path);
