#include "scene/model.h"

#include <gtest/gtest.h>


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
