#include "control/catalogue.h"

#include "scene/model.h"

namespace {

constexpr int FULL_W = 512;   // full-screen pictures
constexpr int FULL_H = 384;

// Pictures that are loaded but drawn by no part keep the full-screen size:
// their buffers are ordinary full-screen pictures.
constexpr CatalogueEntry CATALOGUE[] = {
    {"loadingPicture", "data/gfx/loading.jpg", FULL_W, FULL_H, 0, 0},
    {"picture01", "data/gfx/pic01.jpg", FULL_W, FULL_H, 0, 0},
    {"picture02", "data/gfx/pic02.jpg", 300, 60, 0, 0},
    {"picture03", "data/gfx/pic03.jpg", 300, 60, 0, 0},
    {"picture04", "data/gfx/pic04.jpg", 300, 60, 0, 0},
    {"picture05", "data/gfx/pic05.jpg", FULL_W, FULL_H, 0, 0},
    {"picture07", "data/gfx/pic07.jpg", FULL_W, FULL_H, 0, 0},
    {"picture08", "data/gfx/pic08.jpg", FULL_W, FULL_H, 0, 0},
    {"picture09", "data/gfx/pic09.jpg", 300, 60, 0, 0},
    {"picture10", "data/gfx/pic10.jpg", 400, 60, 0, 0},
    {"picture11", "data/gfx/pic11.jpg", FULL_W, FULL_H, 0, 0},
    {"picture12", "data/gfx/pic12.jpg", 100, 100, 0, 0},
    {"picture13", "data/gfx/pic13.jpg", FULL_W, FULL_H, 0, 0},
    {"picture14", "data/gfx/pic14.jpg", 300, 60, 0, 0},
    {"pictureCredits", "data/gfx/credits.jpg", 280, 166, 0, 0},
    {"picture16", "data/gfx/pic16.jpg", 300, 60, 0, 0},
    {"picture17", "data/gfx/pic17.jpg", 400, 60, 0, 0},
    {"picture18", "data/gfx/pic18.jpg", FULL_W, FULL_H, 0, 0},
    {"picture19", "data/gfx/pic19.jpg", 300, 60, 0, 0},
    {"picture20", "data/gfx/pic20.jpg", 100, 98, 0, 0},
    {"picture21", "data/gfx/pic21.jpg", 100, 98, 0, 0},
    {"picture22", "data/gfx/pic22.jpg", FULL_W, 721, 100, 384},
    {"picture23", "data/gfx/pic23.jpg", FULL_W, FULL_H, 0, 0},
    {"picture24", "data/gfx/pic24.jpg", FULL_W, FULL_H, 0, 0},
    {"picture25", "data/gfx/pic25.jpg", 100, 98, 0, 0},
    {"picture26", "data/gfx/pic26.jpg", 1024, 130, 0, 0},
    {"picture27", "data/gfx/pic27.jpg", FULL_W, FULL_H, 0, 0},
    {"pictureSuite", "data/gfx/suite.jpg", 148, 245, 0, 0},
    {"pictureBus", "data/gfx/bus.jpg", FULL_W, 781, 75, 781},
    {"picture28", "data/gfx/pic28.jpg", FULL_W, FULL_H, 0, 0},
    {"picture29", "data/gfx/pic29.jpg", 300, 60, 0, 0},
    {"picture30", "data/gfx/pic30.jpg", 300, 60, 0, 0},
    {"picture31", "data/gfx/pic31.jpg", 300, 60, 0, 0},
    {"picture32", "data/gfx/pic32.jpg", FULL_W, 155, 0, 0},
    {"pictureDesign4", "data/gfx/design4.jpg", FULL_W, FULL_H, 75, 384},
    {"picture33", "data/gfx/pic33.jpg", 1260, 70, 0, 0},
    {"pictureDesign3", "data/gfx/design3.jpg", FULL_W, FULL_H, 75, 384},
    {"picture34", "data/gfx/pic34.jpg", 100, 80, 0, 0},
    {"pictureDesign5", "data/gfx/design5.jpg", FULL_W, FULL_H, 0, 0},
    {"pictureG1", "data/gfx/g1.jpg", FULL_W, FULL_H, 50, 384},
    {"pictureG2", "data/gfx/g2.jpg", FULL_W, FULL_H, 50, 384},
    {"pictureG3", "data/gfx/g3.jpg", FULL_W, FULL_H, 50, 384},
    {"texture", "data/gfx/stone.jpg", TEXTURE_SIZE, TEXTURE_SIZE, 0, 0},
    {"texture", "data/gfx/planet.jpg", TEXTURE_SIZE, TEXTURE_SIZE, 0, 0},
    {"texture", "data/gfx/silver3.jpg", TEXTURE_SIZE, TEXTURE_SIZE, 0, 0},
    {"texture", "data/gfx/pic06.jpg", TEXTURE_SIZE, TEXTURE_SIZE, 0, 0},
    {"texture", "data/gfx/text5.jpg", TEXTURE_SIZE, TEXTURE_SIZE, 0, 0},
    {"texture", "data/gfx/pic15.jpg", TEXTURE_SIZE, TEXTURE_SIZE, 0, 0},
    {"texture", "data/gfx/plate.jpg", TEXTURE_SIZE, TEXTURE_SIZE, 0, 0},
    {"texture", "data/gfx/env2.jpg", TEXTURE_SIZE, TEXTURE_SIZE, 0, 0},
    {"flarePicture", "data/gfx/star.jpg", FLARE_SIZE, FLARE_SIZE, 0, 0},
    {"flarePicture", "data/gfx/flare.jpg", FLARE_SIZE, FLARE_SIZE, 0, 0},
};

}  // namespace

std::span<const CatalogueEntry> pictureCatalogue()
{
    return CATALOGUE;
}

const CatalogueEntry* findCatalogueEntry(std::string_view path)
{
    for (const CatalogueEntry& entry : CATALOGUE)
        if (path == entry.path) return &entry;
    return nullptr;
}
