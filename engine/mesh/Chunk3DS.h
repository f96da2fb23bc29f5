// One chunk of a 3DS file as the reader keeps it (header fields and tree links), the decoded
// form of a chunk's payload, and the bounded cursor every payload is read through.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "engine/mesh/Tags3DS.h"
#include "engine/mesh/Types3DS.h"

namespace ukh {

static_assert(std::endian::native == std::endian::little,
              "fields are copied as stored: little-endian hosts only");

// Index of a chunk in its database's chunk table; the table holds the tree in pre-order.
using TChunkIndex = uint32_t;
inline constexpr TChunkIndex cNoChunk = 0xFFFFFFFFu;

struct TChunk3DS {
  uint16_t Tag = 0;
  uint32_t Size = 0;            // the length field: header included
  uint32_t Position = 0;        // offset of the header in the file
  uint32_t Data = 0xFFFFFFFFu;  // slot of the decoded payload in the database, none until decoded
  TChunkIndex Sibling = cNoChunk;
  TChunkIndex Children = cNoChunk;
  // One past the last chunk of this subtree: the subtree is the index range [self, End).
  TChunkIndex End = cNoChunk;
  uint32_t DataEnd() const { return Position + Size; }
};

// ---- decoded payloads ----------------------------------------------------------------------

struct TColor24Data {
  uint8_t R = 0, G = 0, B = 0;
};
struct TNodeHdrData {
  std::string_view Name;
  uint16_t Flags1 = 0, Flags2 = 0;
  int16_t ParentIndex = -1;
};
struct TKFHdrData {
  int16_t Revision = 0;
  std::string_view FileName;
  int32_t AnimLength = 0;
};
struct TKFSegData {
  int32_t First = 0, Last = 0;
};
struct TACubicData {
  uint8_t ShadeLevel = 0, AntiAlias = 0;
  uint16_t Flags = 0;
  uint32_t MapSize = 0, FrameInterval = 0;
};
struct TSpotData {
  TPoint3DS Target;
  float Hotspot = 0, FallOff = 0;
};
struct TCameraData {
  TPoint3DS Position, Target;
  float Bank = 0, Focal = 0;
};
struct TBoundBoxData {
  TPoint3DS Min, Max;
};
struct TBoxMapData {
  std::string_view Names[6];
};
struct TLocalShadowData {
  float Bias = 0, Filter = 0;
  int16_t MapSize = 0;
};

// The payload record of one chunk. Strings and raw bytes refer into the file's buffer, which
// lives as long as the tree. Array chunks are not kept here: their readers decode straight into
// the record that takes them over.
using TChunkData =
    std::variant<std::monostate, int32_t, int16_t, uint16_t, uint8_t, float, TFColor3DS,
                 TColor24Data, TPoint3DS, std::string_view, TNodeHdrData, TKFHdrData, TKFSegData,
                 TACubicData, TSpotData, TCameraData, TCamRanges3DS, TBoundBoxData, TMeshMatrix,
                 TMapInfo3DS, TBoxMapData, TLocalShadowData, std::span<const uint8_t>>;

// "3DS file "name": chunk 0x4110 at offset 38 <what>".
std::string ChunkErrorText(std::string_view fileName, uint16_t tag, uint32_t position,
                           std::string_view what);

// Reads little-endian fields from [cur, end) and throws E3DSError naming the chunk when a
// field would run past the end.
class TChunkReader3DS {
 public:
  TChunkReader3DS(const uint8_t* cur, const uint8_t* end, std::string_view fileName,
                  const TChunk3DS& chunk)
      : FCur(cur), FEnd(end), FFileName(fileName), FTag(chunk.Tag), FPosition(chunk.Position) {}

  size_t Remaining() const { return size_t(FEnd - FCur); }
  const uint8_t* Cursor() const { return FCur; }

  uint8_t ReadByte() { return Fixed<uint8_t>(); }
  uint16_t ReadWord() { return Fixed<uint16_t>(); }
  int16_t ReadShort() { return Fixed<int16_t>(); }
  uint32_t ReadCardinal() { return Fixed<uint32_t>(); }
  int32_t ReadInteger() { return Fixed<int32_t>(); }
  float ReadSingle() { return Fixed<float>(); }
  double ReadDouble() { return Fixed<double>(); }
  TPoint3DS ReadPoint() { return Fixed<TPoint3DS>(); }
  TTexVert3DS ReadTexVert() { return Fixed<TTexVert3DS>(); }
  TFace3DS ReadFace() { return Fixed<TFace3DS>(); }
  TFColor3DS ReadColor() { return Fixed<TFColor3DS>(); }
  // A zero-ended string; the zero must lie inside the data.
  std::string_view ReadString();
  TTrackHeader3DS ReadTrackHeader();
  TKeyHeader3DS ReadKeyHeader();
  std::span<const uint8_t> ReadData(size_t n);
  void Skip(size_t n);

  // Copies n items of `size` bytes each into `out`, after checking that they are there; the
  // count is checked before anything is allocated.
  template <class T>
  void ReadArray(size_t n, std::vector<T>& out) {
    static_assert(std::is_trivially_copyable_v<T>);
    Need(n * sizeof(T), "holds a count larger than its data");
    out.resize(n);
    if (n) std::memcpy(out.data(), FCur, n * sizeof(T));
    FCur += n * sizeof(T);
  }
  // Throws unless at least n more bytes are there.
  void Need(size_t n, const char* what = "is shorter than its fields") const {
    if (n > Remaining()) Fail(what);
  }
  [[noreturn]] void Fail(std::string_view what) const;

 private:
  template <class T>
  T Fixed() {
    static_assert(std::is_trivially_copyable_v<T>);
    Need(sizeof(T));
    T v;
    std::memcpy(&v, FCur, sizeof(T));
    FCur += sizeof(T);
    return v;
  }

  const uint8_t* FCur;
  const uint8_t* FEnd;
  std::string_view FFileName;
  uint16_t FTag;
  uint32_t FPosition;
};

// Bytes of own data before the first child. Tags without children report the whole payload.
// Throws when the own data does not fit the chunk.
uint32_t OwnDataSize(const TChunk3DS& chunk, const uint8_t* file, std::string_view fileName);

// Decodes the chunk's own data by the layout of its tag (the raw payload for tags without a
// layout, nothing for containers).
TChunkData DecodeChunkData(const TChunk3DS& chunk, const uint8_t* file, std::string_view fileName);

}  // namespace ukh
