// Payload layouts of the 3DS chunks: how much own data precedes the children, how a payload
// decodes, and the bounded field reader.
#include "engine/mesh/Chunk3DS.h"

#include <cstdio>

#include "engine/mesh/Error3DS.h"

namespace ukh {

using namespace tag3ds;

std::string ChunkErrorText(std::string_view fileName, uint16_t tag, uint32_t position,
                           std::string_view what) {
  char head[64];
  std::snprintf(head, sizeof head, "\": chunk 0x%04X at offset %u ", unsigned(tag),
                unsigned(position));
  std::string s = "3DS file \"";
  s.append(fileName).append(head).append(what);
  return s;
}

void TChunkReader3DS::Fail(std::string_view what) const {
  throw E3DSError(ChunkErrorText(FFileName, FTag, FPosition, what));
}

std::string_view TChunkReader3DS::ReadString() {
  const void* zero = std::memchr(FCur, 0, Remaining());
  if (!zero) Fail("holds a string without its ending zero");
  std::string_view s(reinterpret_cast<const char*>(FCur),
                     size_t(static_cast<const uint8_t*>(zero) - FCur));
  FCur += s.size() + 1;
  return s;
}

TTrackHeader3DS TChunkReader3DS::ReadTrackHeader() {
  TTrackHeader3DS h;
  h.Flags = ReadWord();
  h.nu1 = ReadCardinal();
  h.nu2 = ReadCardinal();
  h.KeyCount = ReadCardinal();
  return h;
}

TKeyHeader3DS TChunkReader3DS::ReadKeyHeader() {
  TKeyHeader3DS k;
  k.Time = ReadInteger();
  k.RFlags = ReadWord();
  if (k.RFlags & 0x01) k.Tension = ReadSingle();
  if (k.RFlags & 0x02) k.Continuity = ReadSingle();
  if (k.RFlags & 0x04) k.Bias = ReadSingle();
  if (k.RFlags & 0x08) k.EaseTo = ReadSingle();
  if (k.RFlags & 0x10) k.EaseFrom = ReadSingle();
  return k;
}

std::span<const uint8_t> TChunkReader3DS::ReadData(size_t n) {
  Need(n);
  std::span<const uint8_t> s(FCur, n);
  FCur += n;
  return s;
}

void TChunkReader3DS::Skip(size_t n) {
  Need(n);
  FCur += n;
}

namespace {

bool IsContainer(uint16_t tag) {
  switch (tag) {
    case M3DMAGIC:
    case MLIBMAGIC:
    case CMAGIC:
    case MDATA:
    case N_TRI_OBJECT:
    case MAT_ENTRY:
    case KFDATA:
    case XDATA_SECTION:
    case XDATA_ENTRY:
    case MAT_AMBIENT:
    case MAT_DIFFUSE:
    case MAT_SPECULAR:
    case MAT_SHININESS:
    case MAT_SHIN2PCT:
    case MAT_SHIN3PCT:
    case MAT_TRANSPARENCY:
    case MAT_XPFALL:
    case MAT_REFBLUR:
    case MAT_SELF_ILPCT:
    case MAT_TEXMAP:
    case MAT_SPECMAP:
    case MAT_OPACMAP:
    case MAT_REFLMAP:
    case MAT_BUMPMAP:
    case SOLID_BGND:
    case AMBIENT_LIGHT:
    case DEFAULT_VIEW:
    case SMAGIC:
    case LMAGIC:
    case MATMAGIC:
      return true;
    default:
      return (tag >= AMBIENT_NODE_TAG && tag <= SPOTLIGHT_NODE_TAG) ||
             (tag >= MAT_TEX2MAP && tag <= MAT_REFLMASK);
  }
}

// Fixed own-data sizes; -1 for tags whose own data is measured (strings, face counts) or that
// are leaves.
int FixedOwnData(uint16_t tag) {
  switch (tag) {
    case N_DIRECT_LIGHT:
    case COLOR_F:
    case O_CONSTS:
    case PIVOT:
    case MAT_ACUBIC:
      return 12;
    case MESH_MATRIX:
      return 48;
    case DL_SPOTLIGHT:
      return 20;
    case N_CAMERA:
      return 32;
    case KFSEG:
      return 8;
    case KFCURTIME:
    case MORPH_SMOOTH:
    case VPDATA:
    case M3D_VERSION:
    case MESH_VERSION:
    case MASTER_SCALE:
    case FLOAT_PERCENTAGE:
    case V_GRADIENT:
    case LO_SHADOW_BIAS:
    case HI_SHADOW_BIAS:
      return 4;
    case BOUNDBOX:
      return 24;
    case NODE_ID:
    case INT_PERCENTAGE:
    case SHADOW_MAP_SIZE:
    case SHADOW_SAMPLES:
      return 2;
    case COLOR_24:
      return 3;
    case FOG:
    case DISTANCE_CUE:
    case LAYER_FOG:
    case VIEW_TOP:
    case 0x3020:
    case 0x3030:
    case 0x3040:
    case 0x3050:
    case VIEW_BACK:
      return 16;
    case VIEW_USER:
      return 28;
    case VIEWPORT_LAYOUT:
      return 14;
    case DL_LOCAL_SHADOW2:
      return 10;
    default:
      return -1;
  }
}

}  // namespace

uint32_t OwnDataSize(const TChunk3DS& chunk, const uint8_t* file, std::string_view fileName) {
  const uint32_t payload = chunk.Size - 6;
  if (IsContainer(chunk.Tag)) return 0;
  const uint8_t* begin = file + chunk.Position + 6;
  TChunkReader3DS r(begin, begin + payload, fileName, chunk);
  const int fixed = FixedOwnData(chunk.Tag);
  if (fixed >= 0) {
    r.Need(size_t(fixed));
    return uint32_t(fixed);
  }
  switch (chunk.Tag) {
    case NAMED_OBJECT:
    case MAT_NAME:
    case MAT_MAPNAME:
    case PROC_NAME:
    case INSTANCE_NAME:
    case BIT_MAP:
    case VIEW_CAMERA:
      r.ReadString();
      break;
    case FACE_ARRAY:
      r.Skip(size_t(r.ReadWord()) * 8);
      break;
    case NODE_HDR:
      r.ReadString();
      r.Skip(6);
      break;
    case KFHDR:
      r.Skip(2);
      r.ReadString();
      r.Skip(4);
      break;
    default:
      return payload;
  }
  return uint32_t(r.Cursor() - begin);
}

TChunkData DecodeChunkData(const TChunk3DS& chunk, const uint8_t* file, std::string_view fileName) {
  const uint8_t* begin = file + chunk.Position + 6;
  TChunkReader3DS r(begin, begin + (chunk.Size - 6), fileName, chunk);
  switch (chunk.Tag) {
    case M3D_VERSION:
    case MESH_VERSION:
    case KFCURTIME:
      return r.ReadInteger();
    case COLOR_F:
    case LIN_COLOR_F:
      return r.ReadColor();
    case COLOR_24:
    case LIN_COLOR_24:
    case MAT_MAP_COL1:
    case MAT_MAP_COL2:
    case MAT_MAP_RCOL:
    case MAT_MAP_GCOL:
    case MAT_MAP_BCOL: {
      TColor24Data c;
      c.R = r.ReadByte();
      c.G = r.ReadByte();
      c.B = r.ReadByte();
      return c;
    }
    case INT_PERCENTAGE:
    case MAT_SHADING:
    case MAT_BUMP_PERCENT:
    case NODE_ID:
      return r.ReadShort();
    case FLOAT_PERCENTAGE:
    case MASTER_SCALE:
    case MAT_WIRESIZE:
    case MAT_MAP_TEXBLUR:
    case MAT_MAP_USCALE:
    case MAT_MAP_VSCALE:
    case MAT_MAP_UOFFSET:
    case MAT_MAP_VOFFSET:
    case MAT_MAP_ANG:
    case MORPH_SMOOTH:
    case DL_INNER_RANGE:
    case DL_OUTER_RANGE:
    case DL_MULTIPLIER:
    case DL_SPOT_ROLL:
    case DL_SPOT_ASPECT:
    case DL_RAY_BIAS:
      return r.ReadSingle();
    case NAMED_OBJECT:
    case MAT_NAME:
    case MAT_MAPNAME:
    case PROC_NAME:
    case INSTANCE_NAME:
    case XDATA_APPNAME:
    case XDATA_STRING:
    case PARENT_NAME:
    case DL_SPOT_PROJECTOR:
    case DL_EXCLUDE:
    case BIT_MAP:
    case VIEW_CAMERA:
      return r.ReadString();
    case MESH_MATRIX: {
      TMeshMatrix m;
      for (float& f : m) f = r.ReadSingle();
      return m;
    }
    case MESH_COLOR:
      return r.ReadByte();
    case MESH_TEXTURE_INFO: {
      TMapInfo3DS m;
      m.MapType = r.ReadWord();
      m.TileX = r.ReadSingle();
      m.TileY = r.ReadSingle();
      m.CenX = r.ReadSingle();
      m.CenY = r.ReadSingle();
      m.CenZ = r.ReadSingle();
      m.Scale = r.ReadSingle();
      for (float& f : m.Matrix) f = r.ReadSingle();
      m.PW = r.ReadSingle();
      m.PH = r.ReadSingle();
      m.CH = r.ReadSingle();
      return m;
    }
    case MSH_BOXMAP: {
      TBoxMapData b;
      for (auto& s : b.Names) s = r.ReadString();
      return b;
    }
    case N_DIRECT_LIGHT:
    case PIVOT:
      return r.ReadPoint();
    case DL_SPOTLIGHT: {
      TSpotData s;
      s.Target = r.ReadPoint();
      s.Hotspot = r.ReadSingle();
      s.FallOff = r.ReadSingle();
      return s;
    }
    case N_CAMERA: {
      TCameraData c;
      c.Position = r.ReadPoint();
      c.Target = r.ReadPoint();
      c.Bank = r.ReadSingle();
      c.Focal = r.ReadSingle();
      return c;
    }
    case CAM_RANGES: {
      TCamRanges3DS c;
      c.CamNear = r.ReadSingle();
      c.CamFar = r.ReadSingle();
      return c;
    }
    case MAT_ACUBIC: {
      TACubicData a;
      a.ShadeLevel = r.ReadByte();
      a.AntiAlias = r.ReadByte();
      a.Flags = r.ReadWord();
      a.MapSize = r.ReadCardinal();
      a.FrameInterval = r.ReadCardinal();
      return a;
    }
    case MAT_MAP_TILING:
      return r.ReadWord();
    case KFHDR: {
      TKFHdrData h;
      h.Revision = r.ReadShort();
      h.FileName = r.ReadString();
      h.AnimLength = r.ReadInteger();
      return h;
    }
    case KFSEG: {
      TKFSegData s;
      s.First = r.ReadInteger();
      s.Last = r.ReadInteger();
      return s;
    }
    case NODE_HDR: {
      TNodeHdrData h;
      h.Name = r.ReadString();
      h.Flags1 = r.ReadWord();
      h.Flags2 = r.ReadWord();
      h.ParentIndex = r.ReadShort();
      return h;
    }
    case BOUNDBOX: {
      TBoundBoxData b;
      b.Min = r.ReadPoint();
      b.Max = r.ReadPoint();
      return b;
    }
    case DL_LOCAL_SHADOW2: {
      TLocalShadowData s;
      s.Bias = r.ReadSingle();
      s.Filter = r.ReadSingle();
      s.MapSize = r.ReadShort();
      return s;
    }
    default:
      if (IsContainer(chunk.Tag) || chunk.Size == 6) return std::monostate{};
      return r.ReadData(chunk.Size - 6);
  }
}

}  // namespace ukh
