#pragma once
#include <cstdint>

// The show's picture buffers, each sized for its file (the catalogue holds
// the same sizes, and the data-set check holds every file to them). Filled
// once at start-up; the frame functions only read them.

extern std::uint32_t loadingPicture[512 * 384]; // loading.jpg
extern std::uint32_t picture01[512 * 384]; // pic01.jpg
extern std::uint32_t picture02[300 * 60]; // pic02.jpg
extern std::uint32_t picture03[300 * 60]; // pic03.jpg
extern std::uint32_t picture04[300 * 60]; // pic04.jpg
extern std::uint32_t picture05[512 * 384]; // pic05.jpg
extern std::uint32_t picture07[512 * 384]; // pic07.jpg
extern std::uint32_t picture08[512 * 384]; // pic08.jpg
extern std::uint32_t picture09[300 * 60]; // pic09.jpg
extern std::uint32_t picture10[400 * 60]; // pic10.jpg
extern std::uint32_t picture11[512 * 384]; // pic11.jpg
extern std::uint32_t picture12[100 * 100]; // pic12.jpg
extern std::uint32_t picture13[512 * 384]; // pic13.jpg
extern std::uint32_t picture14[300 * 60]; // pic14.jpg
extern std::uint32_t pictureCredits[280 * 166]; // credits.jpg
extern std::uint32_t picture16[300 * 60]; // pic16.jpg
extern std::uint32_t picture17[400 * 60]; // pic17.jpg
extern std::uint32_t picture18[512 * 384]; // pic18.jpg
extern std::uint32_t picture19[300 * 60]; // pic19.jpg
extern std::uint32_t picture20[100 * 98]; // pic20.jpg
extern std::uint32_t picture21[100 * 98]; // pic21.jpg
extern std::uint32_t picture22[512 * 721]; // pic22.jpg
extern std::uint32_t picture23[512 * 384]; // pic23.jpg
extern std::uint32_t picture24[512 * 384]; // pic24.jpg
extern std::uint32_t picture25[100 * 98]; // pic25.jpg
extern std::uint32_t picture26[1024 * 130]; // pic26.jpg
extern std::uint32_t picture27[512 * 384]; // pic27.jpg
extern std::uint32_t pictureSuite[148 * 245]; // suite.jpg
extern std::uint32_t pictureBus[512 * 781]; // bus.jpg
extern std::uint32_t picture28[512 * 384]; // pic28.jpg
extern std::uint32_t picture29[300 * 60]; // pic29.jpg
extern std::uint32_t picture30[300 * 60]; // pic30.jpg
extern std::uint32_t picture31[300 * 60]; // pic31.jpg
extern std::uint32_t picture32[512 * 155]; // pic32.jpg
extern std::uint32_t pictureDesign4[512 * 384]; // design4.jpg
extern std::uint32_t picture33[1260 * 70]; // pic33.jpg
extern std::uint32_t pictureDesign3[512 * 384]; // design3.jpg
extern std::uint32_t picture34[100 * 80]; // pic34.jpg
extern std::uint32_t pictureDesign5[512 * 384]; // design5.jpg
extern std::uint32_t pictureG1[512 * 384]; // g1.jpg
extern std::uint32_t pictureG2[512 * 384]; // g2.jpg
extern std::uint32_t pictureG3[512 * 384]; // g3.jpg
