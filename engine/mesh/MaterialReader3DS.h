// Decoding a 3DS material entry into its record.
#pragma once

#include <memory>

#include "engine/mesh/Database3DS.h"

namespace ukh {

// `entry` must be a MAT_ENTRY with a MAT_NAME; an entry of another tag, without a name or
// with a child the format does not allow there raises the invalid-chunk error.
std::unique_ptr<TMaterial3DS> ReadMaterialRecord(TDatabase3DS& db, TChunkIndex entry);

}  // namespace ukh
