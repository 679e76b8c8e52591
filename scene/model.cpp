#include "scene/model.h"

#include <cmath>

#include "image/picture.h"

float sinTable[TRIG_TABLE_SIZE] = {};
float cosTable[TRIG_TABLE_SIZE] = {};

void buildTrigTables()
{
    for (int i = 0; i < TRIG_TABLE_SIZE; ++i) {
        const double angle = i * ANGLE_STEP;
        sinTable[i] = static_cast<float>(std::sin(angle));
        cosTable[i] = static_cast<float>(std::cos(angle));
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
