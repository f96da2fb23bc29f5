// Mesh, light and camera records from the chunks of a named object.
#include "engine/mesh/ObjectReader3DS.h"

namespace ukh {

using namespace tag3ds;

namespace {

float Byte255(uint8_t b) {
  return float(b) / 255.0f;
}

TFColor3DS Color24(const TColor24Data& c) {
  return {Byte255(c.R), Byte255(c.G), Byte255(c.B)};
}

void ReadFaceArray(TDatabase3DS& db, TChunkIndex faces, TMesh3DS& m) {
  TChunkReader3DS r = db.PayloadReader(faces);
  m.NFaces = r.ReadWord();
  r.ReadArray(m.NFaces, m.FaceArray);

  m.MatArray.clear();
  for (TChunkIndex g = db.FindChunk(faces, MSH_MAT_GROUP); g != cNoChunk;
       g = db.FindNextChunk(db.Chunk(g).Sibling, MSH_MAT_GROUP)) {
    if (m.MatArray.size() == 0xFFFF)
      throw E3DSError(ChunkErrorText(db.FileName(), MSH_MAT_GROUP, db.Chunk(g).Position,
                                     "is one material group more than a mesh can hold"));
    TChunkReader3DS gr = db.PayloadReader(g);
    TObjMat3DS& mat = m.MatArray.emplace_back();
    mat.NameStr = gr.ReadString();
    mat.NFaces = gr.ReadWord();
    gr.ReadArray(mat.NFaces, mat.FaceIndex);
  }
  m.NMats = uint16_t(m.MatArray.size());

  m.SmoothArray.clear();
  if (const TChunkIndex s = db.FindChild(faces, SMOOTH_GROUP); s != cNoChunk) {
    TChunkReader3DS sr = db.PayloadReader(s);
    const uint16_t count = uint16_t((db.Chunk(s).Size - 6) / 4);
    sr.ReadArray(count, m.SmoothArray);
  }

  m.UseBoxMap = false;
  if (const TChunkIndex b = db.FindChild(faces, MSH_BOXMAP); b != cNoChunk) {
    const TBoxMapData box = db.Value<TBoxMapData>(b);
    m.UseBoxMap = true;
    for (int i = 0; i < 6; ++i) m.BoxMapStr[i] = box.Names[i];
  }
}

}  // namespace

std::unique_ptr<TMesh3DS> ReadMeshRecord(TDatabase3DS& db, TChunkIndex object) {
  const TChunkIndex tri = db.FindChild(object, N_TRI_OBJECT);
  if (tri == cNoChunk) throw E3DSError(cErr3DSWrongObject);
  auto m = std::make_unique<TMesh3DS>();
  m->NameStr = db.String(object);

  for (TChunkIndex c = db.Chunk(tri).Children; c != cNoChunk; c = db.Chunk(c).Sibling) {
    switch (db.Chunk(c).Tag) {
      case POINT_ARRAY: {
        TChunkReader3DS r = db.PayloadReader(c);
        m->NVertices = r.ReadWord();
        r.ReadArray(m->NVertices, m->VertexArray);
        break;
      }
      case POINT_FLAG_ARRAY: {
        TChunkReader3DS r = db.PayloadReader(c);
        m->NVFlags = r.ReadWord();
        r.ReadArray(m->NVFlags, m->VFlagArray);
        break;
      }
      case FACE_ARRAY:
        ReadFaceArray(db, c, *m);
        break;
      case TEX_VERTS: {
        TChunkReader3DS r = db.PayloadReader(c);
        m->NTextVerts = r.ReadWord();
        r.ReadArray(m->NTextVerts, m->TextArray);
        break;
      }
      case MESH_MATRIX:
        m->LocMatrix = db.Value<TMeshMatrix>(c);
        break;
      case MESH_COLOR:
        m->MeshColor = db.Value<uint8_t>(c);
        break;
      case MESH_TEXTURE_INFO:
        m->UseMapInfo = true;
        m->Map = db.Value<TMapInfo3DS>(c);
        break;
      case PROC_NAME:
        m->ProcNameStr = db.String(c);
        break;
      case PROC_DATA: {
        const auto* raw = std::get_if<std::span<const uint8_t>>(&db.ReadChunkData(c));
        if (raw)
          m->ProcData.assign(raw->begin(), raw->end());
        else
          m->ProcData.clear();
        m->ProcSize = uint32_t(m->ProcData.size());
        break;
      }
      default:
        break;
    }
  }

  for (TChunkIndex c = db.Chunk(object).Children; c != cNoChunk; c = db.Chunk(c).Sibling) {
    switch (db.Chunk(c).Tag) {
      case OBJ_HIDDEN:
        m->IsHidden = true;
        break;
      case OBJ_VIS_LOFTER:
        m->IsvisLofter = true;
        break;
      case OBJ_DOESNT_CAST:
        m->IsNoCast = true;
        break;
      case OBJ_MATTE:
        m->IsMatte = true;
        break;
      case OBJ_FAST:
        m->IsFast = true;
        break;
      case OBJ_PROCEDURAL:
        m->UseProc = true;
        break;
      case OBJ_FROZEN:
        m->IsFrozen = true;
        break;
      case OBJ_DONT_RCVSHADOW:
        m->IsNorcvShad = true;
        break;
      default:
        break;
    }
  }
  return m;
}

std::unique_ptr<TLight3DS> ReadLightRecord(TDatabase3DS& db, TChunkIndex object, bool spot) {
  const TChunkIndex dl = db.FindChild(object, N_DIRECT_LIGHT);
  if (dl == cNoChunk) throw E3DSError(cErr3DSWrongObject);
  auto l = std::make_unique<TLight3DS>();
  l->NameStr = db.String(object);
  l->Pos = db.Value<TPoint3DS>(dl);
  for (TChunkIndex c = db.Chunk(dl).Children; c != cNoChunk; c = db.Chunk(c).Sibling) {
    switch (db.Chunk(c).Tag) {
      case COLOR_F:
        l->Color = db.Value<TFColor3DS>(c);
        break;
      case COLOR_24:
        l->Color = Color24(db.Value<TColor24Data>(c));
        break;
      case DL_OFF:
        l->DLOff = true;
        break;
      case DL_ATTENUATE:
        l->Attenuation.IsOn = true;
        break;
      case DL_INNER_RANGE:
        l->Attenuation.Inner = db.Value<float>(c);
        break;
      case DL_OUTER_RANGE:
        l->Attenuation.Outer = db.Value<float>(c);
        break;
      case DL_MULTIPLIER:
        l->Multiplier = db.Value<float>(c);
        break;
      case DL_EXCLUDE:
        l->Exclude.push_back(db.String(c));
        break;
      default:
        break;
    }
  }
  if (!spot) return l;

  const TChunkIndex sc = db.FindChunk(dl, DL_SPOTLIGHT);
  if (sc == cNoChunk) throw E3DSError(cErr3DSWrongObject);
  auto s = std::make_unique<TSpotLight3DS>();
  const TSpotData d = db.Value<TSpotData>(sc);
  s->Target = d.Target;
  s->Hotspot = d.Hotspot;
  s->FallOff = d.FallOff;
  for (TChunkIndex c = db.Chunk(sc).Children; c != cNoChunk; c = db.Chunk(c).Sibling) {
    switch (db.Chunk(c).Tag) {
      case DL_SPOT_ROLL:
        s->Roll = db.Value<float>(c);
        break;
      case DL_SPOT_ASPECT:
        s->Aspect = db.Value<float>(c);
        break;
      case DL_SHADOWED:
        s->Shadows.Cast = true;
        break;
      case DL_RAYSHAD:
        s->Shadows.Type = true;
        break;
      case DL_RAY_BIAS:
        s->Shadows.RayBias = db.Value<float>(c);
        break;
      case DL_LOCAL_SHADOW2: {
        const TLocalShadowData ls = db.Value<TLocalShadowData>(c);
        s->Shadows.Local = true;
        s->Shadows.Bias = ls.Bias;
        s->Shadows.Filter = ls.Filter;
        s->Shadows.MapSize = ls.MapSize;
        break;
      }
      case DL_SEE_CONE:
        s->Cone.Show = true;
        break;
      case DL_SPOT_RECTANGULAR:
        s->Cone.Type = true;
        break;
      case DL_SPOT_OVERSHOOT:
        s->Cone.Overshoot = true;
        break;
      case DL_SPOT_PROJECTOR:
        s->Projector.Use = true;
        s->Projector.BitmapStr = db.String(c);
        break;
      default:
        break;
    }
  }
  l->Spot = std::move(s);
  return l;
}

std::unique_ptr<TCamera3DS> ReadCameraRecord(TDatabase3DS& db, TChunkIndex object) {
  const TChunkIndex cam = db.FindChild(object, N_CAMERA);
  if (cam == cNoChunk) throw E3DSError(cErr3DSWrongObject);
  auto c = std::make_unique<TCamera3DS>();
  c->NameStr = db.String(object);
  const TCameraData d = db.Value<TCameraData>(cam);
  c->Position = d.Position;
  c->Target = d.Target;
  c->Roll = d.Bank;
  c->FOV = 2400.0f / d.Focal;
  c->ShowCone = db.FindChild(cam, CAM_SEE_CONE) != cNoChunk;
  if (const TChunkIndex r = db.FindChild(cam, CAM_RANGES); r != cNoChunk)
    c->Ranges = db.Value<TCamRanges3DS>(r);
  return c;
}

}  // namespace ukh
