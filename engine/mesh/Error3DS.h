// E3DSError, the failure of the 3DS reader, and its fixed message texts.
#pragma once

#include <string>

#include "engine/base/Exception.h"

namespace ukh {

class E3DSError : public Exception {
 public:
  explicit E3DSError(const std::string& message) : Exception(message) {}
};

inline constexpr const char* cErr3DSNotCreated =
    "The database passed as an argument has not be created yet.";
inline constexpr const char* cErr3DSWrongDatabase =
    "The database passed as an argument is the wrong kind of\rdatabase for this function.";
inline constexpr const char* cErr3DSWrongObject =
    "The Name passed to the functions exists but is not the type of object asked for.\r"
    "For example asking for a mesh object with the GetCameraByName3DS function.";
inline constexpr const char* cErr3DSInvalidChunk =
    "An invalid Chunk structure was encountered while reading\rthe database. Usually caused by "
    "a corrupt database or file.";
inline constexpr const char* cErr3DSNoMemory = "Not enough memory to complete operation.";

}  // namespace ukh
