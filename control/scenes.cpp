#include "control/scenes.h"

Scene* scene1 = nullptr;
Scene* scene2 = nullptr;
Scene* scene2b = nullptr;
Scene* scene3 = nullptr;
Scene* scene4 = nullptr;
Scene* scene4b = nullptr;
Scene* scene5 = nullptr;
Scene* scene6 = nullptr;
Scene* scene7 = nullptr;
Scene* scene8 = nullptr;
Scene* scene9 = nullptr;
Scene* scene9b = nullptr;
Scene* scene10 = nullptr;
Scene* scene11 = nullptr;
Scene* scene12 = nullptr;
Scene* scene13 = nullptr;

void createScenes()
{
    Scene** slots[] = {&scene1, &scene2, &scene2b, &scene3, &scene4, &scene4b,
                       &scene5, &scene6, &scene7, &scene8, &scene9, &scene9b,
                       &scene10, &scene11, &scene12, &scene13};
    for (Scene** slot : slots) *slot = new Scene();
}
