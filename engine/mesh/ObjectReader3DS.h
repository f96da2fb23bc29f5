// Decoding the records of a 3DS file's named objects: triangle meshes, lights and cameras.
#pragma once

#include <memory>

#include "engine/mesh/Database3DS.h"

namespace ukh {

// `object` is a NAMED_OBJECT chunk; each throws the not-the-type error when the object lacks
// the direct child of its kind (N_TRI_OBJECT, N_DIRECT_LIGHT, N_CAMERA).
std::unique_ptr<TMesh3DS> ReadMeshRecord(TDatabase3DS& db, TChunkIndex object);
std::unique_ptr<TLight3DS> ReadLightRecord(TDatabase3DS& db, TChunkIndex object, bool spot);
std::unique_ptr<TCamera3DS> ReadCameraRecord(TDatabase3DS& db, TChunkIndex object);

}  // namespace ukh
