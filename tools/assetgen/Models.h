// The game's two models, "Car_02.3ds" and "Hous.3ds", built from simple solids.
//
// The engine imports 3DS vertices as stored, with no axis change, and its world is Y-up, so
// both models are written Y-up: +Y is up, the car's front points to -Z. Sizes are in model
// units, chosen for the scales the level gives the objects (car 0.2, houses 0.07) so that
// they stand on the ground, whose top face is 0.5 below their origins.
#pragma once

#include "tools/assetgen/Writer3DS.h"

namespace ukh::assetgen {

// 5 x 3 x 10 model units, wheels touching Y = -2.5: at scale 0.2 a 1 x 0.6 x 2 collision box.
T3DSModel BuildCar();

// About 57 x 57 x 57 model units, walls from Y = -0.5 / 0.07 up: about 4 x 4 x 4 at 0.07.
T3DSModel BuildHouse();

}  // namespace ukh::assetgen
