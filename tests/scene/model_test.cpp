#include "scene/model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

// The parts of the show count on these starting values: a mesh far in
// front of the camera, lit from the viewer, opaque, unscaled, grey, culled.
TEST(Mesh, StartsWithTheShowDefaults)
{
    const auto mesh = std::make_unique<Mesh>();
    EXPECT_EQ(mesh->position.z, 10000.0f);
    EXPECT_EQ(mesh->light.z, -1.0f);
    EXPECT_EQ(mesh->alpha, 1.0f);
    EXPECT_EQ(mesh->scale, 1.0f);
    const struct {
        const char* field;
        std::int32_t value, expected;
    } ints[] = {
        {"baseRed", mesh->baseRed, 100}, {"baseGreen", mesh->baseGreen, 100}, {"baseBlue", mesh->baseBlue, 100},
        {"wireRed", mesh->wireRed, 100}, {"wireGreen", mesh->wireGreen, 100}, {"wireBlue", mesh->wireBlue, 100},
        {"flareWidth", mesh->flareWidth, 64}, {"flareHeight", mesh->flareHeight, 64},
        {"cullTextured", mesh->cullTextured, 1}, {"flareMode", mesh->flareMode, 1},
    };
    for (const auto& f : ints) EXPECT_EQ(f.value, f.expected) << f.field;
}

// The step is 3.14159 / 1800, short of pi / 1800 by about 1.4742e-9, so entry
// i misses the true angle by i * 1.4742e-9 rad: near a zero of sine or cosine
// the table holds that miss (with the zero's sign) instead of 0.
TEST(TrigTables, FollowTheShortenedStep)
{
    buildTrigTables();
    const struct {
        const char* entry;
        float value;
        double expected;
        double tolerance;
    } cases[] = {
        {"cos 900", cosTable[900], 1.32679e-6, 1e-10},
        {"sin 1800", sinTable[1800], 2.65359e-6, 1e-10},
        {"cos 2700", cosTable[2700], -3.98038e-6, 1e-10},
        {"sin 3600", sinTable[3600], -5.30718e-6, 1e-10},
        // sin(30 degrees - 4.4226e-7 rad) = 0.5 - 0.8660 * 4.4226e-7
        {"sin 300", sinTable[300], 0.49999962, 1e-7},
        // cos(60 degrees - 8.8453e-7 rad) = 0.5 + 0.8660 * 8.8453e-7
        {"cos 600", cosTable[600], 0.50000077, 1e-7},
        {"sin 0", sinTable[0], 0.0, 0.0},
    };
    for (const auto& c : cases) EXPECT_NEAR(c.value, c.expected, c.tolerance) << c.entry;

    // Rounded to float these come out exact.
    EXPECT_EQ(sinTable[900], 1.0f);
    EXPECT_EQ(cosTable[0], 1.0f);
    EXPECT_EQ(cosTable[3600], 1.0f);
    EXPECT_EQ(cosTable[1800], -1.0f);
    EXPECT_EQ(sinTable[2700], -1.0f);
}

// The tables built from the portable sine and cosine round to the same
// floats as the C library's.
TEST(TrigTables, RoundToTheLibrarysFloats)
{
    buildTrigTables();
    int differing = 0;
    for (int i = 0; i < TRIG_TABLE_SIZE; ++i) {
        differing += sinTable[i] != static_cast<float>(std::sin(i * ANGLE_STEP));
        differing += cosTable[i] != static_cast<float>(std::cos(i * ANGLE_STEP));
    }
    EXPECT_EQ(differing, 0);
}
