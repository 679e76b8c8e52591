#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/loading.h"
#include "control/prepare.h"
#include "control/random.h"
#include "control/scenes.h"
#include "display/screen.h"
#include "image/picture.h"

namespace {

// The whole preparation, once, on the generated data set, from the start of
// the random sequence; drawsTaken is how far it moved the sequence.
class Preparation : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const std::string saved = dataDirectory();
        setDataDirectory(QUORVANE_DATA_DIR);
        setScreenSize(512, 384);
        buildRowOffsets();
        createScenes();
        loadScenes();
        resetRandom();
        prepareScenes();
        const int next = drawRandom(), after = drawRandom();
        resetRandom();
        sequence.assign(200000, 0);
        for (int& number : sequence) number = drawRandom();
        for (int n = 0; n + 1 < static_cast<int>(sequence.size()) && drawsTaken < 0; ++n)
            if (sequence[n] == next && sequence[n + 1] == after) drawsTaken = n;
        setDataDirectory(saved);
    }

    static inline std::vector<int> sequence;
    static inline int drawsTaken = -1;
};

constexpr int ROW_OFFSET_DRAWS = 2 * 384;

TEST_F(Preparation, DrawsWhatEachStepNeedsAndNoMore)
{
    const int expected = ROW_OFFSET_DRAWS + 9 * scene4->meshCount   // scene4
                         + ROW_OFFSET_DRAWS                          // scene3
                         + 97500                                     // scene8
                         + scene11->meshCount                        // scene11
                         + 3;                                        // scene12
    EXPECT_EQ(drawsTaken, expected);
}

TEST_F(Preparation, AsteroidsAreScatteredAndTheLastMeshIsThePlanet)
{
    const int count = scene4->meshCount;
    ASSERT_GE(count, 2);
    for (int i = 0; i < count - 1; ++i) {
        const Mesh& mesh = *scene4->meshes[i];
        // Nine draws per mesh: three skipped, the three angles (z, y, x),
        // then x, y and z of the position.
        const int* r = &sequence[ROW_OFFSET_DRAWS + 9 * i];
        EXPECT_EQ(mesh.angleX, r[5] % 3600) << i;
        EXPECT_EQ(mesh.angleY, r[4] % 3600) << i;
        EXPECT_EQ(mesh.angleZ, r[3] % 3600) << i;
        EXPECT_EQ(mesh.position.x, static_cast<float>(r[6] % 20000 - 10000)) << i;
        EXPECT_EQ(mesh.position.y, static_cast<float>(r[7] % 20000 - 10000)) << i;
        EXPECT_EQ(mesh.position.z, static_cast<float>(r[8] % 40000 + 4000)) << i;
    }
    const Mesh& planet = *scene4->meshes[count - 1];
    EXPECT_EQ(planet.position.x, 0.0f);
    EXPECT_EQ(planet.position.y, 0.0f);
    EXPECT_EQ(planet.position.z, 50000.0f);
    EXPECT_EQ(planet.angleX, 900);
    EXPECT_EQ(planet.angleY, 0);
    EXPECT_EQ(planet.angleZ, 0);
}

TEST_F(Preparation, RingTurnsOncePerKnotMeshWithTheWrap)
{
    // Angles (x, y) after n turns by (1800, 900, 0), a sum above 3600 becoming 1.
    const int afterTurns[][2] = {{0, 0}, {1800, 900}, {3600, 1800}, {1, 2700},   {1801, 3600},
                                 {1, 1}, {1801, 901}, {1, 1801},    {1801, 2701}};
    const int turns = scene2->meshCount;
    ASSERT_LT(turns, static_cast<int>(std::size(afterTurns)));
    const Mesh& ring = *scene2b->meshes[1];
    EXPECT_EQ(ring.angleX, afterTurns[turns][0]);
    EXPECT_EQ(ring.angleY, afterTurns[turns][1]);
    EXPECT_EQ(ring.angleZ, 0);
    EXPECT_EQ(ring.alpha, 0.1f);
}

}  // namespace
