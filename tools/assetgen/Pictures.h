// The game's pictures, drawn procedurally: textures for the boxes, canisters, houses and the
// ground, the placeholder picture of the first box, and the three menu pictures.
#pragma once

#include "tools/assetgen/Image.h"

namespace ukh::assetgen {

TImage DrawCrate();           // "03.bmp": a wooden crate face, 256 x 256
TImage DrawCanister();        // "04.bmp": a red fuel canister's skin, 256 x 256
TImage DrawHouseWall();       // "05.bmp": brick and plaster, 256 x 256
TImage DrawGrass();           // "grass.bmp": the ground, 756 x 512
TImage DrawBoxPlaceholder();  // "cube9.bmp": the first box's stored picture, 756 x 512
TImage DrawMenuBadge();       // "menu_image1.png": round badge on transparency, 256 x 256
TImage DrawMenuTitle();       // "menu_image2.bmp": the title banner, 211 x 92
TImage DrawMenuRoad();        // "menu_image3.png": a bumpy road ahead, 100 x 200

}  // namespace ukh::assetgen
