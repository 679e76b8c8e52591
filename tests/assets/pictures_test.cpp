#include "tools/assets/pictures.h"

#include <gtest/gtest.h>

#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "control/catalogue.h"
#include "display/pixel.h"
#include "image/picture.h"
#include "tools/assets/assets.h"
#include "tools/assets/jpeg_writer.h"
#include "tools/assets/paint.h"
#include "tools/assets/png_writer.h"
#include "tools/assets/text.h"

namespace fs = std::filesystem;

namespace {

const std::string DATA_DIR = QUORVANE_DATA_DIR;

// A scratch folder of its own for each test, removed afterwards.
fs::path scratchDir(const std::string& name)
{
    const fs::path dir =
        fs::temp_directory_path() / ("quorvane-pictures-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

std::string readBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

DecodedPicture decodeGenerated(const char* showPath)
{
    DecodedPicture picture;
    std::string error;
    EXPECT_TRUE(decodeJpeg(DATA_DIR + "/gfx/" + fileNameOf(showPath), picture, error)) << error;
    return picture;
}

// loadPicture's failure handler must end the program; in a test it keeps
// the message instead, and loadPicture then returns 0.
std::vector<std::string> failures;
void keepFailure(const std::string& message)
{
    failures.push_back(message);
}

class LoadPicture : public testing::Test {
protected:
    void SetUp() override
    {
        failures.clear();
        savedDir = dataDirectory();
        setDataDirectory(DATA_DIR);
        setPictureFailureHandler(keepFailure);
    }
    void TearDown() override
    {
        setPictureFailureHandler(nullptr);
        setDataDirectory(savedDir);
    }
    std::string savedDir;
};

// ---- the generated data set -------------------------------------------------

TEST_F(LoadPicture, EveryCataloguePictureLoadsAtItsExactSize)
{
    for (const CatalogueEntry& entry : pictureCatalogue()) {
        std::vector<std::uint32_t> buffer(static_cast<std::size_t>(entry.width) * entry.height,
                                          0xFF000000u);
        EXPECT_EQ(loadPicture(entry.path, buffer.data(), entry.width, entry.height), 1)
            << entry.path;
        // The whole buffer was written, and only with the top byte clear.
        EXPECT_TRUE(std::none_of(buffer.begin(), buffer.end(), [](std::uint32_t p) {
            return (p & TOP_BYTE) != 0;
        })) << entry.path;
    }
    for (const std::string& message : failures) ADD_FAILURE() << message;
}

TEST_F(LoadPicture, RejectsAPictureWhoseSizeDiffersFromItsBuffer)
{
    // pic12 is 100x100; a buffer of 100x98 must not receive it.
    std::vector<std::uint32_t> buffer(100 * 98, 0x00123456u);
    EXPECT_EQ(loadPicture("data/gfx/pic12.jpg", buffer.data(), 100, 98), 0);
    ASSERT_EQ(failures.size(), 1u);
    const std::string& message = failures[0];
    EXPECT_NE(message.find(DATA_DIR + "/gfx/pic12.jpg"), std::string::npos) << message;
    EXPECT_NE(message.find("100x100"), std::string::npos) << message;   // found
    EXPECT_NE(message.find("100x98"), std::string::npos) << message;    // needed
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(),
                            [](std::uint32_t p) { return p == 0x00123456u; }));
}

TEST_F(LoadPicture, NamesAMissingFile)
{
    std::uint32_t pixel = 0;
    EXPECT_EQ(loadPicture("data/gfx/absent.jpg", &pixel, 1, 1), 0);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], "Couldn\u00B4t load " + DATA_DIR + "/gfx/absent.jpg file\n");
}

TEST(Pictures, GenerationIsDeterministic)
{
    const fs::path first = scratchDir("first"), second = scratchDir("second");
    ASSERT_TRUE(writePictures(first.string()));
    ASSERT_TRUE(writePictures(second.string()));
    int compared = 0;
    for (const CatalogueEntry& entry : pictureCatalogue()) {
        const std::string name = fileNameOf(entry.path);
        const std::string a = readBytes(first / "gfx" / name), b = readBytes(second / "gfx" / name);
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_TRUE(a == b) << name << " differs between two runs";
        ++compared;
    }
    EXPECT_EQ(compared, static_cast<int>(pictureCatalogue().size()));
    EXPECT_TRUE(readBytes(first / "contact-sheet.png") == readBytes(second / "contact-sheet.png"));
    fs::remove_all(first);
    fs::remove_all(second);
}

// Pictures laid over the frame where their red exceeds 10.
constexpr const char* TEXT_PICTURES[] = {
    "data/gfx/pic02.jpg", "data/gfx/pic03.jpg", "data/gfx/pic04.jpg", "data/gfx/pic09.jpg",
    "data/gfx/pic10.jpg", "data/gfx/pic12.jpg", "data/gfx/pic14.jpg", "data/gfx/pic16.jpg",
    "data/gfx/pic17.jpg", "data/gfx/pic19.jpg", "data/gfx/pic26.jpg", "data/gfx/pic29.jpg",
    "data/gfx/pic30.jpg", "data/gfx/pic31.jpg", "data/gfx/pic34.jpg", "data/gfx/credits.jpg",
};

TEST(Pictures, TextPicturesAreBrightLetteringOnTransparentBlack)
{
    for (const char* path : TEXT_PICTURES) {
        const DecodedPicture p = decodeGenerated(path);
        ASSERT_GT(p.width, 26) << path;
        int dark = 0, bright = 0, borderLit = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const int red = redOf(p.pixels[static_cast<std::size_t>(y) * p.width + x]);
                dark += red <= 10;
                bright += red > 200;
                // The first and last rows and the 13 columns a split pulls in.
                const bool border = y == 0 || y == p.height - 1 || x < 13 || x >= p.width - 13;
                borderLit += border && red > 10;
            }
        const int total = p.width * p.height;
        EXPECT_EQ(borderLit, 0) << path << ": lit pixels in the border";
        // The heavy titles fill their picture's height: a quarter is the least.
        EXPECT_GT(dark, total / 4) << path << ": too little transparent surrounding";
        EXPECT_GT(bright, total / 50) << path << ": too little bright lettering";
    }
}

TEST(Pictures, AddedPicturesKeepTheirPeaks)
{
    // Added to the frame twice, or under additive meshes: peaks stay low so
    // that the sum does not burn out. The limits allow for the ringing of
    // the compression around small bright points.
    const struct {
        const char* path;
        int peak;
    } cases[] = {
        {"data/gfx/pic33.jpg", 135}, {"data/gfx/pic20.jpg", 135}, {"data/gfx/pic21.jpg", 135},
        {"data/gfx/pic25.jpg", 135}, {"data/gfx/suite.jpg", 135}, {"data/gfx/pic32.jpg", 108},
        {"data/gfx/pic05.jpg", 70},  {"data/gfx/pic13.jpg", 160}, {"data/gfx/env2.jpg", 160},
    };
    for (const auto& c : cases) {
        const DecodedPicture p = decodeGenerated(c.path);
        int peak = 0;
        for (const std::uint32_t pixel : p.pixels)
            peak = std::max({peak, redOf(pixel), greenOf(pixel), blueOf(pixel)});
        EXPECT_LE(peak, c.peak) << c.path;
        EXPECT_GE(peak, c.peak / 2) << c.path << " is nearly black";
    }
}

TEST(Pictures, StripSetsOneCharacterEvery28Columns)
{
    // "QUORVANE  +  EVERY ...": cells 8, 9, 11 and 12 are spaces.
    const DecodedPicture p = decodeGenerated("data/gfx/pic33.jpg");
    const auto cellPeak = [&](int cell) {
        int peak = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = cell * 28 + 2; x < cell * 28 + 26; ++x)
                peak = std::max(peak, redOf(p.pixels[static_cast<std::size_t>(y) * p.width + x]));
        return peak;
    };
    for (const int space : {8, 9, 11, 12}) EXPECT_LE(cellPeak(space), 12) << "cell " << space;
    for (const int letter : {0, 7, 10, 13, 44}) EXPECT_GE(cellPeak(letter), 100) << "cell " << letter;
}

TEST(Pictures, DarkenedAtLoadPicturesAreStoredBrighter)
{
    // The lowest channel over the rows the show darkens, after the darkening.
    const struct {
        const char* path;
        int firstRow, lastRow, darkening;
        int lowestBefore;   // every channel at least this in the file
    } cases[] = {
        {"data/gfx/pic22.jpg", 0, 383, 100, 95},
        {"data/gfx/bus.jpg", 0, 680, 75, 70},
        {"data/gfx/design4.jpg", 0, 383, 115, 108},
        {"data/gfx/design3.jpg", 0, 383, 75, 70},
    };
    for (const auto& c : cases) {
        const DecodedPicture p = decodeGenerated(c.path);
        int lowest = 255;
        for (int y = c.firstRow; y <= c.lastRow; ++y)
            for (int x = 0; x < p.width; ++x) {
                const std::uint32_t pixel = p.pixels[static_cast<std::size_t>(y) * p.width + x];
                lowest = std::min({lowest, redOf(pixel), greenOf(pixel), blueOf(pixel)});
            }
        EXPECT_GE(lowest, c.lowestBefore) << c.path;
    }
    // The tall scrolling picture's last row fades to black once darkened by 75.
    const DecodedPicture bus = decodeGenerated("data/gfx/bus.jpg");
    for (int x = 0; x < bus.width; ++x)
        EXPECT_LE(redOf(bus.pixels[static_cast<std::size_t>(bus.height - 1) * bus.width + x]), 80);
}

TEST(Pictures, GrainIsSparseAndDifferentInEachPicture)
{
    std::vector<std::vector<std::uint32_t>> grains;
    for (const char* path : {"data/gfx/g1.jpg", "data/gfx/g2.jpg", "data/gfx/g3.jpg"}) {
        const DecodedPicture p = decodeGenerated(path);
        long sum = 0;
        int specks = 0, peak = 0;
        for (const std::uint32_t pixel : p.pixels) {
            const int red = redOf(pixel);
            sum += std::max(0, red - 50);   // as shown: darkened by 50
            specks += red >= 70;
            peak = std::max(peak, red);
        }
        EXPECT_LE(sum / static_cast<long>(p.pixels.size()), 3) << path;
        EXPECT_GE(specks, 50) << path;
        EXPECT_LE(peak, 140) << path;
        grains.push_back(p.pixels);
    }
    EXPECT_NE(grains[0], grains[1]);
    EXPECT_NE(grains[1], grains[2]);
    EXPECT_NE(grains[0], grains[2]);
}

TEST(Pictures, SpritesHaveBlackBordersAndBrightCentres)
{
    for (const char* path : {"data/gfx/star.jpg", "data/gfx/flare.jpg"}) {
        const DecodedPicture p = decodeGenerated(path);
        for (int i = 0; i < 64; ++i)
            for (const std::size_t index :
                 {static_cast<std::size_t>(i), static_cast<std::size_t>(63 * 64 + i),
                  static_cast<std::size_t>(i * 64), static_cast<std::size_t>(i * 64 + 63)})
                EXPECT_LE(redOf(p.pixels[index]), 8) << path << " border pixel " << index;
        EXPECT_GE(redOf(p.pixels[32 * 64 + 32]), 200) << path;
    }
}

TEST(Pictures, HeavyTitlesFillTheirHeightWithWideStrokes)
{
    // Only where the two split copies overlap does a title survive part 1's
    // darkening: letters over the full height, strokes wide across the rows.
    const struct {
        const char* path;
        int stem;   // the most common width of a lit run on a row
    } cases[] = {{"data/gfx/pic09.jpg", 15}, {"data/gfx/pic10.jpg", 19}};
    for (const auto& c : cases) {
        const DecodedPicture p = decodeGenerated(c.path);
        int inkRows = 0;
        std::vector<int> runs(p.width + 1, 0);
        for (int y = 0; y < p.height; ++y) {
            int run = 0;
            bool any = false;
            for (int x = 0; x <= p.width; ++x) {
                const bool lit =
                    x < p.width && redOf(p.pixels[static_cast<std::size_t>(y) * p.width + x]) > 128;
                any |= lit;
                if (lit) {
                    ++run;
                } else if (run > 0) {
                    ++runs[run];
                    run = 0;
                }
            }
            inkRows += any;
        }
        EXPECT_GE(inkRows, p.height - 4) << c.path;
        const int common =
            static_cast<int>(std::max_element(runs.begin(), runs.end()) - runs.begin());
        EXPECT_GE(common, c.stem) << c.path;
    }
}

TEST(Pictures, EnvironmentMapsServeTheirShapes)
{
    // The plasma map: a bright core and a black outer ring, which the blob's
    // silhouette samples and the trails spread.
    const DecodedPicture plasma = decodeGenerated("data/gfx/pic15.jpg");
    int ringPeak = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - 128.0f;
            const float dy = static_cast<float>(y) + 0.5f - 128.0f;
            if (dx * dx + dy * dy < 0.8f * 0.8f * 128.0f * 128.0f) continue;
            const std::uint32_t pixel = plasma.pixels[static_cast<std::size_t>(y) * 256 + x];
            ringPeak = std::max({ringPeak, redOf(pixel), greenOf(pixel), blueOf(pixel)});
        }
    EXPECT_LE(ringPeak, 12);
    EXPECT_GE(redOf(plasma.pixels[128 * 256 + 128]), 230);
    // The neon map: across the rows the conveyor's shapes sample (102-154)
    // and along each colour length's middle (texels 16-48 of every 64) the
    // tube is solid, with no dark gap between thin bars.
    const DecodedPicture neon = decodeGenerated("data/gfx/env2.jpg");
    int weakest = 255;
    for (int y = 102; y <= 154; ++y)
        for (int x = 0; x < 256; ++x) {
            if (x % 64 < 16 || x % 64 > 48) continue;
            const std::uint32_t pixel = neon.pixels[static_cast<std::size_t>(y) * 256 + x];
            weakest = std::min(weakest, std::max({redOf(pixel), greenOf(pixel), blueOf(pixel)}));
        }
    EXPECT_GE(weakest, 50);
}

TEST(Pictures, ChromeMapShowsSkyAboveAndGroundBelow)
{
    const DecodedPicture p = decodeGenerated("data/gfx/pic06.jpg");
    const std::uint32_t sky = p.pixels[40 * 256 + 128], ground = p.pixels[216 * 256 + 128];
    EXPECT_GT(blueOf(sky), redOf(sky));   // blue sky
    EXPECT_GT(blueOf(sky) + greenOf(sky), 2 * (blueOf(ground) + greenOf(ground)));
}

TEST(Pictures, ContactSheetIsWrittenBesideThePictures)
{
    const std::string bytes = readBytes(DATA_DIR + "/contact-sheet.png");
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

TEST(Pictures, PainterRefusesACanvasOfTheWrongSize)
{
    const CatalogueEntry* entry = findCatalogueEntry("data/gfx/pic09.jpg");
    ASSERT_NE(entry, nullptr);
    Canvas canvas(entry->width, entry->height + 1);
    std::string error;
    EXPECT_FALSE(paintPicture(*entry, canvas, error));
    EXPECT_NE(error.find("data/gfx/pic09.jpg"), std::string::npos) << error;
}

// ---- writers ------------------------------------------------------------------

TEST(JpegWriter, FlatColoursSurviveTheRoundTrip)
{
    const fs::path dir = scratchDir("jpeg");
    // Two flat 8x8 blocks side by side: JPEG keeps flat blocks almost exact.
    std::vector<std::uint32_t> pixels(16 * 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            pixels[static_cast<std::size_t>(y) * 16 + x] = x < 8 ? 0xFFC86432u : 0x00000000u;
    std::string error;
    ASSERT_TRUE(writeJpeg((dir / "flat.jpg").string(), pixels.data(), 16, 8, error)) << error;
    DecodedPicture back;
    ASSERT_TRUE(decodeJpeg((dir / "flat.jpg").string(), back, error)) << error;
    ASSERT_EQ(back.width, 16);
    ASSERT_EQ(back.height, 8);
    const std::uint32_t left = back.pixels[3 * 16 + 3], right = back.pixels[3 * 16 + 12];
    EXPECT_NEAR(redOf(left), 200, 3);   // top byte dropped, (200, 100, 50) kept
    EXPECT_NEAR(greenOf(left), 100, 3);
    EXPECT_NEAR(blueOf(left), 50, 3);
    EXPECT_LE(redOf(right) + greenOf(right) + blueOf(right), 6);
    fs::remove_all(dir);
}

TEST(JpegWriter, FailuresNameTheFile)
{
    const std::uint32_t pixel = 0;
    std::string error;
    EXPECT_FALSE(writeJpeg("/nonexistent-folder/x.jpg", &pixel, 1, 1, error));
    EXPECT_NE(error.find("/nonexistent-folder/x.jpg"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(writeJpeg("zero.jpg", &pixel, 0, 1, error));
    EXPECT_NE(error.find("zero.jpg"), std::string::npos) << error;
}

TEST(PngWriter, PixelsSurviveTheRoundTripExactly)
{
    const fs::path dir = scratchDir("png");
    const std::uint32_t pixels[6] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu,
                                     0xAA102030u, 0x00FFFFFFu, 0x00000000u};
    std::string error;
    const std::string file = (dir / "tiny.png").string();
    ASSERT_TRUE(writePng(file, pixels, 3, 2, error)) << error;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, file.c_str()));
    ASSERT_EQ(image.width, 3u);
    ASSERT_EQ(image.height, 2u);
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    const std::vector<unsigned char> expected = {255,  0,    0,    0,   255, 0,   0, 0, 255,
                                                 0x10, 0x20, 0x30, 255, 255, 255, 0, 0, 0};
    EXPECT_EQ(rgb, expected);
    fs::remove_all(dir);
}

TEST(PngWriter, FailuresNameTheFile)
{
    const std::uint32_t pixel = 0;
    std::string error;
    EXPECT_FALSE(writePng("/nonexistent-folder/x.png", &pixel, 1, 1, error));
    EXPECT_NE(error.find("/nonexistent-folder/x.png"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(writePng("wide.png", &pixel, -3, 1, error));
    EXPECT_NE(error.find("wide.png"), std::string::npos) << error;
}

// ---- painting and text -------------------------------------------------------

TEST(Paint, CanvasBecomesClampedRoundedPixels)
{
    Canvas canvas(3, 1);
    canvas.at(0, 0) = {-5.0f, 300.0f, 127.6f};
    canvas.at(1, 0) = {0.4f, 0.5f, 254.5f};
    canvas.at(2, 0) = {16.0f, 32.0f, 64.0f};
    const std::vector<std::uint32_t> pixels = toPixels(canvas);
    EXPECT_EQ(pixels[0], 0x0000FF80u);   // red 0, green 255, blue 128
    EXPECT_EQ(pixels[1], 0x000001FFu);   // halves round away from zero
    EXPECT_EQ(pixels[2], 0x00102040u);
}

TEST(Paint, GradientInterpolatesBetweenStops)
{
    const GradientStop stops[] = {
        {0.0f, {0, 0, 0}}, {0.5f, {200, 100, 40}}, {1.0f, {200, 200, 200}}};
    const struct {
        float t;
        Colour expected;
    } cases[] = {
        {-1.0f, {0, 0, 0}},       {0.25f, {100, 50, 20}},  {0.5f, {200, 100, 40}},
        {0.75f, {200, 150, 120}}, {2.0f, {200, 200, 200}},
    };
    for (const auto& c : cases) {
        const Colour got = gradientAt(stops, c.t);
        EXPECT_FLOAT_EQ(got.r, c.expected.r) << c.t;
        EXPECT_FLOAT_EQ(got.g, c.expected.g) << c.t;
        EXPECT_FLOAT_EQ(got.b, c.expected.b) << c.t;
    }
}

TEST(Paint, NoiseIsRepeatableInRangeAndWrapsWithItsPeriod)
{
    for (int i = 0; i < 200; ++i) {
        // Multiples of 1/8 keep x + 6 exact in float.
        const float x = static_cast<float>(i % 40) * 0.125f, y = static_cast<float>(i) * 0.0625f;
        const float n = valueNoise(x, y, 5);
        EXPECT_GE(n, 0.0f);
        EXPECT_LT(n, 1.0f);
        EXPECT_EQ(n, valueNoise(x, y, 5));
        EXPECT_EQ(valueNoise(x, y, 5, 6), valueNoise(x + 6.0f, y, 5, 6));
        const float f = fractalNoise(x, y, 4, 9, 3);
        EXPECT_EQ(f, fractalNoise(x + 3.0f, y, 4, 9, 3));
    }
    // On lattice points the noise is the hash itself.
    EXPECT_EQ(valueNoise(4.0f, 7.0f, 3), hashUnit(4, 7, 3));
    EXPECT_NE(hashUnit(4, 7, 3), hashUnit(4, 7, 4));
}

TEST(Paint, ShapesCoverInsideAndLeaveOutsideAlone)
{
    Canvas canvas(20, 20);
    fillDisc(canvas, 10.0f, 10.0f, 4.0f, {200, 0, 0});
    EXPECT_FLOAT_EQ(canvas.at(10, 10).r, 200.0f);   // centre fully covered
    EXPECT_FLOAT_EQ(canvas.at(10, 16).r, 0.0f);     // 6.5 from the centre
    EXPECT_GT(canvas.at(13, 9).r, 0.0f);            // the rim is partly covered
    EXPECT_LT(canvas.at(13, 9).r, 200.0f);
    const Point square[] = {{2, 2}, {6, 2}, {6, 6}, {2, 6}};
    Canvas other(8, 8);
    fillPolygon(other, square, {0, 100, 0});
    EXPECT_FLOAT_EQ(other.at(3, 3).g, 100.0f);
    EXPECT_FLOAT_EQ(other.at(6, 3).g, 0.0f);   // the edge at x = 6 is exclusive
    EXPECT_FLOAT_EQ(other.at(1, 1).g, 0.0f);
    // Drawing off the canvas is skipped.
    drawLine(other, -50.0f, -50.0f, -10.0f, -40.0f, 3.0f, {255, 255, 255});
    fillDisc(other, 100.0f, 100.0f, 5.0f, {255, 255, 255});
}

TEST(Text, MasksFitTheirBoxAndGrowWithIt)
{
    TextMask small, large;
    std::string error;
    ASSERT_TRUE(renderTextToFit("VANE", FONT_BOLD, 120, 30, 200, 0, small, error)) << error;
    ASSERT_TRUE(renderTextToFit("VANE", FONT_BOLD, 240, 60, 200, 0, large, error)) << error;
    EXPECT_LE(small.width, 120);
    EXPECT_LE(small.height, 30);
    EXPECT_LE(large.width, 240);
    EXPECT_GT(large.width, small.width * 3 / 2);
    // Capitals sit on the baseline: the ink ends where the baseline is.
    EXPECT_EQ(large.baseline, large.height);
    TextMask blank;
    ASSERT_TRUE(renderText("   ", FONT_BOLD, 20, 0, blank, error));
    EXPECT_EQ(blank.width, 0);
    EXPECT_TRUE(blank.coverage.empty());
}

TEST(Text, MissingFontIsReportedByName)
{
    TextMask mask;
    std::string error;
    EXPECT_FALSE(renderText("A", "/no/such/font.ttf", 20, 0, mask, error));
    EXPECT_NE(error.find("/no/such/font.ttf"), std::string::npos) << error;
}

}  // namespace
