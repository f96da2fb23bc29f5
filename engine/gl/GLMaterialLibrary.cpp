// Library materials, their unique names and the name lookup.
#include "engine/gl/GLMaterialLibrary.h"

#include <algorithm>

#include "engine/gl/GLTexture.h"

namespace ukh {

namespace {

// The UTF-16 code units of a UTF-8 string; a byte that does not start a valid sequence
// counts as one unit of its own value.
template <class F>
void ForEachUtf16Unit(const std::string& s, F&& f) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const size_t n = s.size();
  for (size_t i = 0; i < n;) {
    const unsigned c = p[i];
    int len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    bool ok = len > 0 && i + size_t(len) <= n;
    uint32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; ok && k < len; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if (!ok) {
      f(uint16_t(c));
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      f(uint16_t(0xD800 + (cp >> 10)));
      f(uint16_t(0xDC00 + (cp & 0x3FF)));
    } else {
      f(uint16_t(cp));
    }
    i += size_t(len);
  }
}

}  // namespace

int32_t LibMaterialNameHash(const std::string& utf8Name) {
  uint32_t length = 0;
  ForEachUtf16Unit(utf8Name, [&](uint16_t) { ++length; });
  uint32_t hash = length;
  ForEachUtf16Unit(utf8Name, [&](uint16_t unit) { hash = hash * 2 + (unit & 0xFF); });
  return int32_t(hash);
}

// ---- TGLLibMaterial ----------------------------------------------------------------------

TGLLibMaterial::TGLLibMaterial(TGLMaterialLibrary* library, const std::string& name)
    : TGLUpdateAbleObject(library),
      FLibrary(library),
      FMaterial(std::make_unique<TGLMaterial>(this)) {
  FMaterial->Texture();
  FName = library ? library->MakeUniqueName(name, this) : name;
  FNameHashKey = LibMaterialNameHash(FName);
}

TGLLibMaterial::~TGLLibMaterial() {
  for (TGLMaterial* user : FUsers) user->currentLibMaterial = nullptr;
  FUsers.clear();
}

void TGLLibMaterial::SetName(const std::string& name) {
  if (name == FName) return;
  FName = FLibrary ? FLibrary->MakeUniqueName(name, this) : name;
  FNameHashKey = LibMaterialNameHash(FName);
  NotifyChange(this);
}

void TGLLibMaterial::SetTexture2Name(const std::string& name) {
  if (name == FTexture2Name) return;
  FTexture2Name = name;
  NotifyChange(this);
}

// Without a shader or a second texture (which need multitexturing and texture upload), a
// library material is its own material.
void TGLLibMaterial::Apply(TGLRenderContextInfo& rci) {
  FMaterial->Apply(rci);
}

bool TGLLibMaterial::UnApply(TGLRenderContextInfo& rci) {
  FMaterial->UnApply(rci);
  return false;
}

void TGLLibMaterial::NotifyChange(TPersistent* sender) {
  if (FUpdating != 0) return;
  // Copied: a user's reaction may relink it.
  const std::vector<TGLMaterial*> users = FUsers;
  for (TGLMaterial* user : users) user->NotifyChange(this);
  TGLUpdateAbleObject::NotifyChange(sender);
}

// ---- TGLMaterialLibrary ------------------------------------------------------------------

TGLMaterialLibrary::TGLMaterialLibrary(TComponent* owner) : TComponent(owner) {}

TGLMaterialLibrary::~TGLMaterialLibrary() {
  for (TGLMaterial* user : FMaterialUsers) user->FMaterialLibrary = nullptr;
  FMaterialUsers.clear();
  FMaterials.clear();
}

TGLLibMaterial& TGLMaterialLibrary::AddMaterial(const std::string& name) {
  FMaterials.push_back(std::make_unique<TGLLibMaterial>(this, name));
  return *FMaterials.back();
}

void TGLMaterialLibrary::DeleteMaterial(TGLLibMaterial* material) {
  auto it = std::find_if(FMaterials.begin(), FMaterials.end(),
                         [&](const auto& m) { return m.get() == material; });
  if (it != FMaterials.end()) FMaterials.erase(it);
}

TGLLibMaterial* TGLMaterialLibrary::GetLibMaterialByName(const std::string& name) const {
  const int32_t hash = LibMaterialNameHash(name);
  for (const auto& m : FMaterials)
    if (m->FNameHashKey == hash && m->FName == name) return m.get();
  return nullptr;
}

std::string TGLMaterialLibrary::MakeUniqueName(const std::string& name,
                                               const TGLLibMaterial* except) const {
  auto taken = [&](const std::string& candidate) {
    for (const auto& m : FMaterials)
      if (m.get() != except && m->FName == candidate) return true;
    return false;
  };
  if (!taken(name)) return name;
  for (int i = 1;; ++i) {
    std::string candidate = name + std::to_string(i);
    if (!taken(candidate)) return candidate;
  }
}

}  // namespace ukh
