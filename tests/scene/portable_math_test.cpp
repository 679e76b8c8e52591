#include <gtest/gtest.h>

#include <cmath>

#include "scene/model.h"
#include "scene/portable_math.h"

// The portable functions track the C library within a few units in the last
// place over the angles the show uses, in every quadrant and on both sides
// of zero, and the tables built from them round to the same floats.
TEST(PortableMath, SineAndCosineFollowTheLibraryInEveryQuadrant)
{
    double worst = 0.0;
    for (int i = -40000; i <= 40000; ++i) {
        const double x = i * 0.000731;   // about -29 to 29 radians
        worst = std::max(worst, std::fabs(portable::sin(x) - std::sin(x)));
        worst = std::max(worst, std::fabs(portable::cos(x) - std::cos(x)));
    }
    EXPECT_LE(worst, 4e-16);
    EXPECT_EQ(portable::sin(0.0), 0.0);
    EXPECT_EQ(portable::cos(0.0), 1.0);
}

TEST(PortableMath, TablesRoundToTheLibrarysFloats)
{
    buildTrigTables();
    int differing = 0;
    for (int i = 0; i < TRIG_TABLE_SIZE; ++i) {
        differing += sinTable[i] != static_cast<float>(std::sin(i * ANGLE_STEP));
        differing += cosTable[i] != static_cast<float>(std::cos(i * ANGLE_STEP));
    }
    EXPECT_EQ(differing, 0);
}

TEST(PortableMath, TenthPowerWithinAFewUnitsOfPow)
{
    for (double x : {0.0, 1e-3, 0.1, 0.37, 0.5, 0.75, 0.999, 1.0}) {
        const double expected = std::pow(x, 10.0);
        EXPECT_NEAR(portable::pow10th(x), expected, expected * 1.2e-15) << x;
    }
}
