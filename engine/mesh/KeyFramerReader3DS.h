// Decoding the keyframer of a 3DS file: the animation settings and the motion of each node.
#pragma once

#include <memory>

#include "engine/mesh/Database3DS.h"

namespace ukh {

// Settings from the top chunk's KFDATA; defaults where a chunk is missing. The top chunk must
// be M3DMAGIC or CMAGIC.
TKFSets3DS ReadKFSettings(TDatabase3DS& db);

// `node` is a keyframer node chunk of the matching tag; one without NODE_HDR raises the
// invalid-chunk error, one of another tag the not-the-type error.
std::unique_ptr<TKFMesh3DS> ReadMeshMotion(TDatabase3DS& db, TChunkIndex node);
std::unique_ptr<TKFOmni3DS> ReadOmniMotion(TDatabase3DS& db, TChunkIndex node);
std::unique_ptr<TKFSpot3DS> ReadSpotMotion(TDatabase3DS& db, TChunkIndex node);
std::unique_ptr<TKFCamera3DS> ReadCameraMotion(TDatabase3DS& db, TChunkIndex node);
std::unique_ptr<TKFAmbient3DS> ReadAmbientMotion(TDatabase3DS& db, TChunkIndex node);

}  // namespace ukh
