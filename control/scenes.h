#pragma once
#include "scene/model.h"

// The sixteen scenes of the show, created empty at start-up and filled from
// their files; they live until the program ends.
extern Scene* scene1;
extern Scene* scene2;
extern Scene* scene2b;
extern Scene* scene3;
extern Scene* scene4;
extern Scene* scene4b;
extern Scene* scene5;
extern Scene* scene6;
extern Scene* scene7;
extern Scene* scene8;
extern Scene* scene9;
extern Scene* scene9b;
extern Scene* scene10;
extern Scene* scene11;
extern Scene* scene12;
extern Scene* scene13;

// Creates the sixteen empty scenes in their slots.
void createScenes();
