#pragma once

// The one-time preparation of the loaded scenes: render flags, colours,
// placement, angles, waves, textures and flare pictures of their meshes, the
// camera of scene7, and every picture of the show in its buffer. Runs once
// at start-up, after the scenes are loaded and checked. Several steps draw
// from the shared random sequence, so the order below is part of the show.

// Each fills the scenes and pictures named; a picture that cannot be read
// ends the program. A mesh index a scene does not hold is skipped.
void prepareScene4();
void prepareScene1();
void prepareScene2();
void prepareScene3();
void prepareScene5();
void prepareScene6();
void prepareScene7();
void prepareScene8();
void prepareScene9();
void prepareScene11();
void preparePictureDesign5();
void prepareScene12();
void prepareScene13();

// All of the above in the show's order: scene4, 1, 2, 3, 5, 6, 7, 8, 9, 11,
// design5, 12, 13.
void prepareScenes();
