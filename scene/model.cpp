#include "scene/model.h"

#include "image/picture.h"
#include "scene/portable_math.h"

float sinTable[TRIG_TABLE_SIZE] = {};
float cosTable[TRIG_TABLE_SIZE] = {};

void buildTrigTables()
{
    for (int i = 0; i < TRIG_TABLE_SIZE; ++i) {
        const double angle = i * ANGLE_STEP;
        sinTable[i] = static_cast<float>(portable::sin(angle));
        cosTable[i] = static_cast<float>(portable::cos(angle));
    }
}

Mesh::~Mesh()
{
    delete[] vertices;
    delete[] faces;
}

int Mesh::loadTexture(const char* path)
{
    loadPicture(path, texture, TEXTURE_SIZE, TEXTURE_SIZE);
    return 1;
}
