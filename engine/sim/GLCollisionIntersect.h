// The pair tests of the collision manager, one per pair of bounding modes, and the table
// that picks the test for two clients. Each answers whether two scene objects touch; all
// bounds are inclusive and comparisons with not-a-number fall the way each test states.
#pragma once

#include "engine/math/AABB.h"
#include "engine/sim/GLBCollision.h"

namespace ukh {

class TGLBaseSceneObject;

// The objects are not const: their matrices are rebuilt lazily when read.
bool FastCheckPointVsPoint(TGLBaseSceneObject& a, TGLBaseSceneObject& b);
bool FastCheckPointVsSphere(TGLBaseSceneObject& p, TGLBaseSceneObject& s);
bool FastCheckPointVsEllipsoid(TGLBaseSceneObject& p, TGLBaseSceneObject& e);
bool FastCheckPointVsCube(TGLBaseSceneObject& p, TGLBaseSceneObject& c);
bool FastCheckSphereVsSphere(TGLBaseSceneObject& s1, TGLBaseSceneObject& s2);
bool FastCheckSphereVsEllipsoid(TGLBaseSceneObject& s, TGLBaseSceneObject& e);
bool FastCheckSphereVsCube(TGLBaseSceneObject& s, TGLBaseSceneObject& c);
bool FastCheckEllipsoidVsEllipsoid(TGLBaseSceneObject& e1, TGLBaseSceneObject& e2);
bool FastCheckEllipsoidVsCube(TGLBaseSceneObject& e, TGLBaseSceneObject& c);
bool FastCheckCubeVsCube(TGLBaseSceneObject& a, TGLBaseSceneObject& b);
// Without a free form's octree these compare the two unscaled boxes with children.
bool FastCheckCubeVsFace(TGLBaseSceneObject& c, TGLBaseSceneObject& f);
bool FastCheckFaceVsFace(TGLBaseSceneObject& f1, TGLBaseSceneObject& f2);

// Whether some corner of box `a`, carried by `aToB` into b's frame, lies in box `b`, or some
// edge of it crosses a face of `b`. Corners in the order (min,min,min), (max,min,min),
// (max,max,min), (min,max,min), then the same at max Z; edges along the bottom square, the
// top square, then the four uprights.
bool OneSidedBoxTest(const TAABB& a, const TMatrix4f& aToB, const TAABB& b);

// The test for (mode1, mode2) applied to (object1, object2), swapping where the table says.
bool CheckCollisionPair(TCollisionBoundingMode mode1, TCollisionBoundingMode mode2,
                        TGLBaseSceneObject& object1, TGLBaseSceneObject& object2);

}  // namespace ukh
