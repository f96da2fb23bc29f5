// Call counters, the error check and the feature query of the GL entry-point module.
#include "engine/gl/GLApi.h"

#include <cstdio>
#include <cstring>

#include "engine/gl/GLLog.h"

namespace ukh::gl {

namespace detail {
uint64_t gCallCounts[cGLCallCount] = {};
TGLCall gLastCall = TGLCall::Count;
#ifdef UKH_GL_CHECK
bool gInsideBeginEnd = false;
#endif
}  // namespace detail

namespace {

constexpr const char* cCallNames[] = {
#define UKH_GL_NAME(name) #name,
    UKH_GL_CALLS(UKH_GL_NAME)
#undef UKH_GL_NAME
};
static_assert(std::size(cCallNames) == cGLCallCount);

#ifdef UKH_GL_CHECK
// The first error seen since the last check and the call after which it showed.
GLenum gFirstError = GL_NO_ERROR;
TGLCall gFirstErrorCall = TGLCall::Count;
#endif

const TGLFeatures cNoFeatures{};
const TGLFeatures* gCurrentFeatures = &cNoFeatures;

bool HasToken(const char* list, const char* token) {
  if (!list) return false;
  const size_t n = std::strlen(token);
  for (const char* p = list; (p = std::strstr(p, token)) != nullptr; p += n) {
    const bool startOk = p == list || p[-1] == ' ';
    const bool endOk = p[n] == '\0' || p[n] == ' ';
    if (startOk && endOk) return true;
  }
  return false;
}

}  // namespace

#ifdef UKH_GL_CHECK
void detail::AfterCall(TGLCall call) {
  if (detail::gInsideBeginEnd) return;
  const GLenum error = ::glGetError();
  if (error != GL_NO_ERROR && gFirstError == GL_NO_ERROR) {
    gFirstError = error;
    gFirstErrorCall = call;
  }
  // GL keeps one flag per error kind; drain the rest so the next call's error is its own.
  if (error != GL_NO_ERROR)
    while (::glGetError() != GL_NO_ERROR) {
    }
}
#endif

const char* CallName(TGLCall call) {
  return size_t(call) < cGLCallCount ? cCallNames[size_t(call)] : "(none)";
}

uint64_t CallCount(TGLCall call) {
  return detail::gCallCounts[size_t(call)];
}

uint64_t CallCount(std::string_view name) {
  for (size_t i = 0; i < cGLCallCount; ++i)
    if (name == cCallNames[i]) return detail::gCallCounts[i];
  throw Exception("Unknown GL entry point \"" + std::string(name) + "\"");
}

uint64_t TotalCallCount() {
  uint64_t sum = 0;
  for (uint64_t c : detail::gCallCounts) sum += c;
  return sum;
}

void ResetCallCounts() {
  for (uint64_t& c : detail::gCallCounts) c = 0;
}

const char* LastCallName() {
  return detail::gLastCall == TGLCall::Count ? nullptr : CallName(detail::gLastCall);
}

std::string GLErrorName(GLenum error) {
  switch (error) {
    case GL_NO_ERROR:
      return "GL_NO_ERROR";
    case GL_INVALID_ENUM:
      return "GL_INVALID_ENUM";
    case GL_INVALID_VALUE:
      return "GL_INVALID_VALUE";
    case GL_INVALID_OPERATION:
      return "GL_INVALID_OPERATION";
    case GL_STACK_OVERFLOW:
      return "GL_STACK_OVERFLOW";
    case GL_STACK_UNDERFLOW:
      return "GL_STACK_UNDERFLOW";
    case GL_OUT_OF_MEMORY:
      return "GL_OUT_OF_MEMORY";
    case GL_INVALID_FRAMEBUFFER_OPERATION:
      return "GL_INVALID_FRAMEBUFFER_OPERATION";
    default: {
      char text[16];
      std::snprintf(text, sizeof text, "0x%04X", unsigned(error));
      return text;
    }
  }
}

void ClearGLError() {
  for (int i = 0; i < 16 && ::glGetError() != GL_NO_ERROR; ++i) {
  }
#ifdef UKH_GL_CHECK
  gFirstError = GL_NO_ERROR;
  gFirstErrorCall = TGLCall::Count;
#endif
}

void CheckGLError() {
#ifdef UKH_GL_CHECK
  GLenum error = gFirstError;
  TGLCall call = gFirstErrorCall;
  const GLenum pending = detail::gInsideBeginEnd ? GL_NO_ERROR : ::glGetError();
  if (error == GL_NO_ERROR && pending != GL_NO_ERROR) {
    // Raised by GL code outside this module (a platform layer) after our last call.
    error = pending;
    call = detail::gLastCall;
  }
  ClearGLError();
  if (error == GL_NO_ERROR) return;
  std::string message = "OpenGL error " + GLErrorName(error) + " after " +
                        (call == TGLCall::Count ? std::string("no engine call") : CallName(call));
  GLLogError(message);
  throw EOpenGLError(message);
#endif
}

TGLFeatures ReadGLFeatures() {
  TGLFeatures f;
  const char* version = reinterpret_cast<const char*>(::glGetString(GL_VERSION));
  if (version) std::sscanf(version, "%d.%d", &f.MajorVersion, &f.MinorVersion);
  const char* ext = reinterpret_cast<const char*>(::glGetString(GL_EXTENSIONS));
  f.ARB_multitexture = f.VersionAtLeast(1, 3) || HasToken(ext, "GL_ARB_multitexture");
  f.ARB_texture_non_power_of_two =
      f.VersionAtLeast(2, 0) || HasToken(ext, "GL_ARB_texture_non_power_of_two");
  f.SGIS_generate_mipmap = f.VersionAtLeast(1, 4) || HasToken(ext, "GL_SGIS_generate_mipmap");
  f.EXT_texture_lod = HasToken(ext, "GL_EXT_texture_lod");
  f.SGIS_texture_lod = f.VersionAtLeast(1, 2) || HasToken(ext, "GL_SGIS_texture_lod");
  f.EXT_texture_edge_clamp = f.VersionAtLeast(1, 2) || HasToken(ext, "GL_EXT_texture_edge_clamp");
  f.ARB_texture_cube_map = f.VersionAtLeast(1, 3) || HasToken(ext, "GL_ARB_texture_cube_map");
  f.EXT_bgra = f.VersionAtLeast(1, 2) || HasToken(ext, "GL_EXT_bgra");
  f.EXT_texture_filter_anisotropic = HasToken(ext, "GL_EXT_texture_filter_anisotropic") ||
                                     HasToken(ext, "GL_ARB_texture_filter_anisotropic");
  f.ARB_depth_clamp = f.VersionAtLeast(3, 2) || HasToken(ext, "GL_ARB_depth_clamp");
  f.ARB_vertex_buffer_object =
      f.VersionAtLeast(1, 5) || HasToken(ext, "GL_ARB_vertex_buffer_object");
  f.EXT_compiled_vertex_array = HasToken(ext, "GL_EXT_compiled_vertex_array");
  f.EXT_blend_func_separate = f.VersionAtLeast(1, 4) || HasToken(ext, "GL_EXT_blend_func_separate");
  // Reading the features is not a frame's GL error.
  ClearGLError();
  return f;
}

const TGLFeatures& CurrentFeatures() {
  return *gCurrentFeatures;
}

void SetCurrentFeatures(const TGLFeatures* features) {
  gCurrentFeatures = features ? features : &cNoFeatures;
}

}  // namespace ukh::gl
