// Material records: colours, percentages, flags, maps and their tiling and tint settings.
#include "engine/mesh/MaterialReader3DS.h"

namespace ukh {

using namespace tag3ds;

namespace {

float Byte255(uint8_t b) {
  return float(b) / 255.0f;
}
TFColor3DS Color24(const TColor24Data& c) {
  return {Byte255(c.R), Byte255(c.G), Byte255(c.B)};
}

// The last of COLOR_24, COLOR_F, LIN_COLOR_24 present in the subtree wins, in that order.
TFColor3DS ReadColor(TDatabase3DS& db, TChunkIndex c) {
  TFColor3DS col;
  if (const TChunkIndex k = db.FindChunk(c, COLOR_24); k != cNoChunk)
    col = Color24(db.Value<TColor24Data>(k));
  if (const TChunkIndex k = db.FindChunk(c, COLOR_F); k != cNoChunk) col = db.Value<TFColor3DS>(k);
  if (const TChunkIndex k = db.FindChunk(c, LIN_COLOR_24); k != cNoChunk)
    col = Color24(db.Value<TColor24Data>(k));
  return col;
}

float ReadPercentage(TDatabase3DS& db, TChunkIndex c) {
  if (const TChunkIndex k = db.FindChunk(c, INT_PERCENTAGE); k != cNoChunk)
    return float(db.Value<int16_t>(k)) / 100.0f;
  if (const TChunkIndex k = db.FindChunk(c, FLOAT_PERCENTAGE); k != cNoChunk)
    return db.Value<float>(k);
  return 0;
}

void ReadBitmap(TDatabase3DS& db, TChunkIndex map, TBitmap3DS& b) {
  for (TChunkIndex c = db.Chunk(map).Children; c != cNoChunk; c = db.Chunk(c).Sibling) {
    switch (db.Chunk(c).Tag) {
      case INT_PERCENTAGE:
        b.Percent = float(db.Value<int16_t>(c)) / 100.0f;
        break;
      case FLOAT_PERCENTAGE:
        b.Percent = db.Value<float>(c);
        break;
      case MAT_MAPNAME:
        b.NameStr = db.String(c);
        break;
      case MAT_MAP_TILING: {
        const uint16_t f = db.Value<uint16_t>(c);
        b.Tiling = !(f & 0x01)  ? TTileType3DS::ttTile
                   : (f & 0x10) ? TTileType3DS::ttDecal
                                : TTileType3DS::ttBoth;
        b.IgnoreAlpha = f & 0x100;
        b.Filter = (f & 0x20) ? TFilterType3DS::ftSummedArea : TFilterType3DS::ftPyramidal;
        b.Mirror = f & 0x02;
        b.Negative = f & 0x08;
        if ((f & 0x80) && (f & 0x40))
          b.Source = TTintType3DS::ttAlphaTint;
        else if (f & 0x80)
          b.Source = TTintType3DS::ttRGBLumaTint;
        else if (f & 0x200)
          b.Source = TTintType3DS::ttRGBTint;
        else if (f & 0x40)
          b.Source = TTintType3DS::ttAlpha;
        else
          b.Source = TTintType3DS::ttRGB;
        break;
      }
      case MAT_MAP_TEXBLUR:
        b.Blur = db.Value<float>(c);
        break;
      case MAT_MAP_USCALE:
        b.UScale = db.Value<float>(c);
        break;
      case MAT_MAP_VSCALE:
        b.VScale = db.Value<float>(c);
        break;
      case MAT_MAP_UOFFSET:
        b.UOffset = db.Value<float>(c);
        break;
      case MAT_MAP_VOFFSET:
        b.VOffset = db.Value<float>(c);
        break;
      case MAT_MAP_ANG:
        b.Rotation = db.Value<float>(c);
        break;
      case MAT_MAP_COL1:
        b.Tint1 = Color24(db.Value<TColor24Data>(c));
        break;
      case MAT_MAP_COL2:
        b.Tint2 = Color24(db.Value<TColor24Data>(c));
        break;
      case MAT_MAP_RCOL:
        b.RedTint = Color24(db.Value<TColor24Data>(c));
        break;
      case MAT_MAP_GCOL:
        b.GreenTint = Color24(db.Value<TColor24Data>(c));
        break;
      case MAT_MAP_BCOL:
        b.BlueTint = Color24(db.Value<TColor24Data>(c));
        break;
      default:
        break;
    }
  }
}

// The map or mask a procedural-data chunk belongs to, or none.
TBitmap3DS* DataTarget(TMaterial3DS& m, uint16_t tag) {
  switch (tag) {
    case MAT_SXP_TEXT_DATA:
      return &m.Texture.Map;
    case MAT_SXP_TEXT2_DATA:
      return &m.Texture2.Map;
    case MAT_SXP_OPAC_DATA:
      return &m.Opacity.Map;
    case MAT_SXP_BUMP_DATA:
      return &m.Bump.Map;
    case MAT_SXP_SPEC_DATA:
      return &m.SpecMap.Map;
    case MAT_SXP_SHIN_DATA:
      return &m.ShinMap.Map;
    case MAT_SXP_SELFI_DATA:
      return &m.IllumMap.Map;
    case MAT_SXP_TEXT_MASKDATA:
      return &m.Texture.Mask;
    case MAT_SXP_TEXT2_MASKDATA:
      return &m.Texture2.Mask;
    case MAT_SXP_OPAC_MASKDATA:
      return &m.Opacity.Mask;
    case MAT_SXP_BUMP_MASKDATA:
      return &m.Bump.Mask;
    case MAT_SXP_SPEC_MASKDATA:
      return &m.SpecMap.Mask;
    case MAT_SXP_SHIN_MASKDATA:
      return &m.ShinMap.Mask;
    case MAT_SXP_SELFI_MASKDATA:
      return &m.IllumMap.Mask;
    case MAT_SXP_REFL_MASKDATA:
      return &m.Reflect.Mask;
    default:
      return nullptr;
  }
}

// The map or mask a map chunk fills, or none.
TBitmap3DS* MapTarget(TMaterial3DS& m, uint16_t tag) {
  switch (tag) {
    case MAT_TEXMAP:
      return &m.Texture.Map;
    case MAT_TEX2MAP:
      return &m.Texture2.Map;
    case MAT_OPACMAP:
      return &m.Opacity.Map;
    case MAT_BUMPMAP:
      return &m.Bump.Map;
    case MAT_SPECMAP:
      return &m.SpecMap.Map;
    case MAT_SHINMAP:
      return &m.ShinMap.Map;
    case MAT_SELFIMAP:
      return &m.IllumMap.Map;
    case MAT_REFLMAP:
      return &m.Reflect.Map;
    case MAT_TEXMASK:
      return &m.Texture.Mask;
    case MAT_TEX2MASK:
      return &m.Texture2.Mask;
    case MAT_OPACMASK:
      return &m.Opacity.Mask;
    case MAT_BUMPMASK:
      return &m.Bump.Mask;
    case MAT_SPECMASK:
      return &m.SpecMap.Mask;
    case MAT_SHINMASK:
      return &m.ShinMap.Mask;
    case MAT_SELFIMASK:
      return &m.IllumMap.Mask;
    case MAT_REFLMASK:
      return &m.Reflect.Mask;
    default:
      return nullptr;
  }
}

}  // namespace

std::unique_ptr<TMaterial3DS> ReadMaterialRecord(TDatabase3DS& db, TChunkIndex entry) {
  if (db.Chunk(entry).Tag != MAT_ENTRY || db.FindChild(entry, MAT_NAME) == cNoChunk)
    throw E3DSError(cErr3DSInvalidChunk);
  auto m = std::make_unique<TMaterial3DS>();

  for (TChunkIndex c = db.Chunk(entry).Children; c != cNoChunk; c = db.Chunk(c).Sibling) {
    const uint16_t tag = db.Chunk(c).Tag;
    if ((tag >= 0x8000 && tag <= 0x80FF) || tag == MAT_SHIN3PCT || tag == MAT_DECAL) continue;
    if (TBitmap3DS* map = MapTarget(*m, tag)) {
      ReadBitmap(db, c, *map);
      if (tag == MAT_BUMPMAP)
        if (const TChunkIndex p = db.FindChunk(c, MAT_BUMP_PERCENT); p != cNoChunk)
          m->Bump.Map.Percent = float(db.Value<int16_t>(p)) / 100.0f;
      continue;
    }
    if (tag >= MAT_SXP_TEXT_DATA && tag <= MAT_SXP_REFL_MASKDATA) {
      if (TBitmap3DS* target = DataTarget(*m, tag)) {
        const auto* raw = std::get_if<std::span<const uint8_t>>(&db.ReadChunkData(c));
        if (raw)
          target->Data.assign(raw->begin(), raw->end());
        else
          target->Data.clear();
        target->DataSize = uint32_t(target->Data.size());
      }
      continue;
    }
    switch (tag) {
      case MAT_NAME:
        m->NameStr = db.String(c);
        break;
      case MAT_AMBIENT:
        m->Ambient = ReadColor(db, c);
        break;
      case MAT_DIFFUSE:
        m->Diffuse = ReadColor(db, c);
        break;
      case MAT_SPECULAR:
        m->Specular = ReadColor(db, c);
        break;
      case MAT_SHININESS:
        m->Shininess = ReadPercentage(db, c);
        break;
      case MAT_SHIN2PCT:
        m->ShinStrength = ReadPercentage(db, c);
        break;
      case MAT_TRANSPARENCY:
        m->Transparency = ReadPercentage(db, c);
        break;
      case MAT_XPFALL:
        m->TransFallOff = ReadPercentage(db, c);
        break;
      case MAT_REFBLUR:
        m->Blur = ReadPercentage(db, c);
        break;
      case MAT_SELF_ILPCT:
        m->SelfIllumPct = ReadPercentage(db, c);
        break;
      case MAT_SELF_ILLUM:
        m->SelFillum = true;
        break;
      case MAT_TWO_SIDE:
        m->TwoSided = true;
        break;
      case MAT_ADDITIVE:
        m->Additive = true;
        break;
      case MAT_FACEMAP:
        m->FaceMap = true;
        break;
      case MAT_PHONGSOFT:
        m->Soften = true;
        break;
      case MAT_WIREABS:
        m->UseWireAbs = true;
        break;
      case MAT_USE_XPFALL:
        m->UseFall = true;
        break;
      case MAT_USE_REFBLUR:
        m->UseBlur = true;
        break;
      case MAT_WIRE:
        m->Shading = TShadeType3DS::stWire;
        break;
      case MAT_SHADING:
        m->Shading = TShadeType3DS(db.Value<int16_t>(c));
        break;
      case MAT_WIRESIZE:
        m->WireSize = db.Value<float>(c);
        break;
      case MAT_XPFALLIN:
        m->Transparency = -m->Transparency;
        break;
      case MAT_ACUBIC: {
        const TACubicData a = db.Value<TACubicData>(c);
        m->Reflect.UseAuto = true;
        m->Reflect.AutoMap.FirstFrame = (a.Flags & 0x09) != 0;
        m->Reflect.AutoMap.Flat = (a.Flags & 0x11) != 0;
        m->Reflect.AutoMap.Size = int32_t(a.MapSize);
        m->Reflect.AutoMap.nthFrame = int32_t(a.FrameInterval);
        break;
      }
      default:
        throw E3DSError(cErr3DSInvalidChunk);
    }
  }
  return m;
}

}  // namespace ukh
