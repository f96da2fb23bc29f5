// The one door from the engine to OpenGL and GLU: every entry point the engine uses, as a
// thin inline wrapper that counts its calls by name and remembers the last one made.
//
// Counting is always on: one increment and one store into a static array per call, next to
// a call that crosses the GL dispatch table and the driver (bench/render measures both).
// With UKH_GL_CHECK, every call outside glBegin/glEnd is followed by glGetError, so the first
// error of a frame is reported with the call that raised it (CheckGLError).
#pragma once

#ifndef GL_GLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES 1
#endif
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/base/Exception.h"

// X(name): every GL and GLU entry point the engine may call.
// clang-format off
#define UKH_GL_CALLS(X)                                                                            \
  /* queries */                                                                                    \
  X(glGetString) X(glGetIntegerv) X(glGetFloatv) X(glGetBooleanv) X(glGetError) X(glIsEnabled)     \
  /* frame */                                                                                      \
  X(glViewport) X(glClearColor) X(glClear) X(glClearDepth) X(glClearStencil) X(glDepthMask)        \
  X(glColorMask) X(glColorMaski) X(glReadPixels) X(glFinish) X(glFlush)                            \
  /* matrices */                                                                                   \
  X(glMatrixMode) X(glLoadMatrixf) X(glLoadIdentity) X(glPushMatrix) X(glPopMatrix)                \
  X(glTranslatef) X(glRotatef) X(glScalef) X(glMultMatrixf)                                        \
  /* state */                                                                                      \
  X(glEnable) X(glDisable) X(glShadeModel) X(glHint) X(glLightModelfv) X(glLightModeli)            \
  X(glLightfv) X(glLightf) X(glMaterialfv) X(glMaterialf) X(glMateriali) X(glColor4fv)             \
  X(glColor4f) X(glColor3f) X(glColorMaterial) X(glPolygonMode) X(glCullFace) X(glFrontFace)       \
  X(glAlphaFunc) X(glBlendFunc) X(glBlendFuncSeparate) X(glDepthFunc) X(glDepthRange)              \
  X(glPushAttrib) X(glPopAttrib) X(glLineWidth) X(glPointSize) X(glLineStipple)                    \
  X(glStencilFunc) X(glLogicOp) X(glPolygonOffset) X(glFogfv) X(glFogf) X(glFogi)                  \
  /* display lists */                                                                              \
  X(glGenLists) X(glDeleteLists) X(glNewList) X(glEndList) X(glCallList) X(glIsList)               \
  /* geometry */                                                                                   \
  X(glBegin) X(glEnd) X(glNormal3f) X(glNormal3fv) X(glVertex2f) X(glVertex3f) X(glVertex3fv)      \
  X(glTexCoord2f) X(glTexCoord2fv) X(glTexCoord3f) X(glTexCoord3fv) X(glMultiTexCoord2f)           \
  X(glMultiTexCoord2fv) X(glVertexPointer) X(glNormalPointer) X(glTexCoordPointer)                 \
  X(glColorPointer) X(glEnableClientState) X(glDisableClientState) X(glClientActiveTexture)        \
  X(glDrawElements) X(glDrawArrays) X(glLockArraysEXT) X(glUnlockArraysEXT) X(glBindBuffer)        \
  X(glDisableVertexAttribArray)                                                                    \
  /* GLU quadrics */                                                                               \
  X(gluNewQuadric) X(gluQuadricDrawStyle) X(gluQuadricNormals) X(gluQuadricOrientation)            \
  X(gluQuadricTexture) X(gluCylinder) X(gluDisk) X(gluDeleteQuadric)                               \
  /* textures */                                                                                   \
  X(glGenTextures) X(glDeleteTextures) X(glBindTexture) X(glActiveTexture) X(glIsTexture)          \
  X(glTexImage1D) X(glTexImage2D) X(glTexImage3D) X(glTexParameteri) X(glTexParameterf)            \
  X(glTexParameterfv) X(glPixelStorei) X(glTexEnvi) X(glTexEnvfv) X(glTexGeni) X(glTexGenfv)
// clang-format on

namespace ukh {

// A GL error found by CheckGLError; the message names the error and the call that raised it.
class EOpenGLError : public Exception {
 public:
  using Exception::Exception;
};

namespace gl {

enum class TGLCall : uint16_t {
#define UKH_GL_ENUM(name) name,
  UKH_GL_CALLS(UKH_GL_ENUM)
#undef UKH_GL_ENUM
      Count
};
inline constexpr size_t cGLCallCount = size_t(TGLCall::Count);

namespace detail {
extern uint64_t gCallCounts[cGLCallCount];
extern TGLCall gLastCall;
#ifdef UKH_GL_CHECK
extern bool gInsideBeginEnd;
void AfterCall(TGLCall call);
#endif
}  // namespace detail

// ---- counting ----------------------------------------------------------------------------

const char* CallName(TGLCall call);
// Count of calls made to the entry point named `name` ("glEnable", "gluCylinder") since the
// last reset; an unknown name throws, so a typo in a test cannot pass silently.
uint64_t CallCount(std::string_view name);
uint64_t CallCount(TGLCall call);
// Sum over every entry point.
uint64_t TotalCallCount();
void ResetCallCounts();
// The entry point of the most recent call, or nullptr before the first.
const char* LastCallName();

// ---- errors ------------------------------------------------------------------------------

// Drops every pending GL error (and, with UKH_GL_CHECK, the first error recorded).
void ClearGLError();
// With UKH_GL_CHECK: reports the first GL error since the last check as an error entry of the
// engine's log and throws EOpenGLError with the same text. Without it, does nothing.
void CheckGLError();
// "GL_INVALID_ENUM" and its kin; "0x%04X" for a code without a name.
std::string GLErrorName(GLenum error);

// ---- wrappers ----------------------------------------------------------------------------

#ifdef UKH_GL_CHECK
#define UKH_GL_AFTER(name) detail::AfterCall(TGLCall::name)
#else
#define UKH_GL_AFTER(name) ((void)0)
#endif
#define UKH_GL_BEFORE(name)                       \
  do {                                            \
    ++detail::gCallCounts[size_t(TGLCall::name)]; \
    detail::gLastCall = TGLCall::name;            \
  } while (0)

// A wrapper around ::name taking `params` and passing `args`, returning nothing.
#define UKH_GL_VOID(Name, name, params, args) \
  inline void Name params {                   \
    UKH_GL_BEFORE(name);                      \
    ::name args;                              \
    UKH_GL_AFTER(name);                       \
  }
// The same for an entry point with a result.
#define UKH_GL_RESULT(Type, Name, name, params, args) \
  inline Type Name params {                           \
    UKH_GL_BEFORE(name);                              \
    Type result = ::name args;                        \
    UKH_GL_AFTER(name);                               \
    return result;                                    \
  }

// queries
UKH_GL_RESULT(const GLubyte*, GetString, glGetString, (GLenum n), (n))
UKH_GL_VOID(GetIntegerv, glGetIntegerv, (GLenum p, GLint* v), (p, v))
UKH_GL_VOID(GetFloatv, glGetFloatv, (GLenum p, GLfloat* v), (p, v))
UKH_GL_VOID(GetBooleanv, glGetBooleanv, (GLenum p, GLboolean* v), (p, v))
UKH_GL_RESULT(GLboolean, IsEnabled, glIsEnabled, (GLenum c), (c))
// The engine's own glGetError: counted, and never checked against itself.
inline GLenum GetError() {
  UKH_GL_BEFORE(glGetError);
  return ::glGetError();
}

// frame
UKH_GL_VOID(Viewport, glViewport, (GLint x, GLint y, GLsizei w, GLsizei h), (x, y, w, h))
UKH_GL_VOID(ClearColor, glClearColor, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a))
UKH_GL_VOID(Clear, glClear, (GLbitfield m), (m))
UKH_GL_VOID(ClearDepth, glClearDepth, (GLclampd d), (d))
UKH_GL_VOID(ClearStencil, glClearStencil, (GLint s), (s))
UKH_GL_VOID(DepthMask, glDepthMask, (GLboolean f), (f))
UKH_GL_VOID(ColorMask, glColorMask, (GLboolean r, GLboolean g, GLboolean b, GLboolean a),
            (r, g, b, a))
UKH_GL_VOID(ColorMaski, glColorMaski,
            (GLuint i, GLboolean r, GLboolean g, GLboolean b, GLboolean a), (i, r, g, b, a))
UKH_GL_VOID(ReadPixels, glReadPixels,
            (GLint x, GLint y, GLsizei w, GLsizei h, GLenum f, GLenum t, void* p),
            (x, y, w, h, f, t, p))
UKH_GL_VOID(Finish, glFinish, (), ())
UKH_GL_VOID(Flush, glFlush, (), ())

// matrices
UKH_GL_VOID(MatrixMode, glMatrixMode, (GLenum m), (m))
UKH_GL_VOID(LoadMatrixf, glLoadMatrixf, (const GLfloat* m), (m))
UKH_GL_VOID(LoadIdentity, glLoadIdentity, (), ())
UKH_GL_VOID(PushMatrix, glPushMatrix, (), ())
UKH_GL_VOID(PopMatrix, glPopMatrix, (), ())
UKH_GL_VOID(Translatef, glTranslatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
UKH_GL_VOID(Rotatef, glRotatef, (GLfloat a, GLfloat x, GLfloat y, GLfloat z), (a, x, y, z))
UKH_GL_VOID(Scalef, glScalef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
UKH_GL_VOID(MultMatrixf, glMultMatrixf, (const GLfloat* m), (m))

// state
UKH_GL_VOID(Enable, glEnable, (GLenum c), (c))
UKH_GL_VOID(Disable, glDisable, (GLenum c), (c))
UKH_GL_VOID(ShadeModel, glShadeModel, (GLenum m), (m))
UKH_GL_VOID(Hint, glHint, (GLenum t, GLenum m), (t, m))
UKH_GL_VOID(LightModelfv, glLightModelfv, (GLenum p, const GLfloat* v), (p, v))
UKH_GL_VOID(LightModeli, glLightModeli, (GLenum p, GLint v), (p, v))
UKH_GL_VOID(Lightfv, glLightfv, (GLenum l, GLenum p, const GLfloat* v), (l, p, v))
UKH_GL_VOID(Lightf, glLightf, (GLenum l, GLenum p, GLfloat v), (l, p, v))
UKH_GL_VOID(Materialfv, glMaterialfv, (GLenum f, GLenum p, const GLfloat* v), (f, p, v))
UKH_GL_VOID(Materialf, glMaterialf, (GLenum f, GLenum p, GLfloat v), (f, p, v))
UKH_GL_VOID(Materiali, glMateriali, (GLenum f, GLenum p, GLint v), (f, p, v))
UKH_GL_VOID(Color4fv, glColor4fv, (const GLfloat* v), (v))
UKH_GL_VOID(Color4f, glColor4f, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a))
UKH_GL_VOID(Color3f, glColor3f, (GLfloat r, GLfloat g, GLfloat b), (r, g, b))
UKH_GL_VOID(ColorMaterial, glColorMaterial, (GLenum f, GLenum m), (f, m))
UKH_GL_VOID(PolygonMode, glPolygonMode, (GLenum f, GLenum m), (f, m))
UKH_GL_VOID(CullFace, glCullFace, (GLenum m), (m))
UKH_GL_VOID(FrontFace, glFrontFace, (GLenum m), (m))
UKH_GL_VOID(AlphaFunc, glAlphaFunc, (GLenum f, GLclampf r), (f, r))
UKH_GL_VOID(BlendFunc, glBlendFunc, (GLenum s, GLenum d), (s, d))
UKH_GL_VOID(BlendFuncSeparate, glBlendFuncSeparate, (GLenum s, GLenum d, GLenum sa, GLenum da),
            (s, d, sa, da))
UKH_GL_VOID(DepthFunc, glDepthFunc, (GLenum f), (f))
UKH_GL_VOID(DepthRange, glDepthRange, (GLclampd n, GLclampd f), (n, f))
UKH_GL_VOID(PushAttrib, glPushAttrib, (GLbitfield m), (m))
UKH_GL_VOID(PopAttrib, glPopAttrib, (), ())
UKH_GL_VOID(LineWidth, glLineWidth, (GLfloat w), (w))
UKH_GL_VOID(PointSize, glPointSize, (GLfloat s), (s))
UKH_GL_VOID(LineStipple, glLineStipple, (GLint f, GLushort p), (f, p))
UKH_GL_VOID(StencilFunc, glStencilFunc, (GLenum f, GLint r, GLuint m), (f, r, m))
UKH_GL_VOID(LogicOp, glLogicOp, (GLenum o), (o))
UKH_GL_VOID(PolygonOffset, glPolygonOffset, (GLfloat f, GLfloat u), (f, u))
UKH_GL_VOID(Fogfv, glFogfv, (GLenum p, const GLfloat* v), (p, v))
UKH_GL_VOID(Fogf, glFogf, (GLenum p, GLfloat v), (p, v))
UKH_GL_VOID(Fogi, glFogi, (GLenum p, GLint v), (p, v))

// display lists
UKH_GL_RESULT(GLuint, GenLists, glGenLists, (GLsizei n), (n))
UKH_GL_VOID(DeleteLists, glDeleteLists, (GLuint l, GLsizei n), (l, n))
UKH_GL_VOID(NewList, glNewList, (GLuint l, GLenum m), (l, m))
UKH_GL_VOID(EndList, glEndList, (), ())
UKH_GL_VOID(CallList, glCallList, (GLuint l), (l))
UKH_GL_RESULT(GLboolean, IsList, glIsList, (GLuint l), (l))

// geometry; glGetError is not allowed between glBegin and glEnd, so the check waits for glEnd
inline void Begin(GLenum mode) {
  UKH_GL_BEFORE(glBegin);
  ::glBegin(mode);
#ifdef UKH_GL_CHECK
  detail::gInsideBeginEnd = true;
#endif
}
inline void End() {
  UKH_GL_BEFORE(glEnd);
  ::glEnd();
#ifdef UKH_GL_CHECK
  detail::gInsideBeginEnd = false;
#endif
  UKH_GL_AFTER(glEnd);
}
UKH_GL_VOID(Normal3f, glNormal3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
UKH_GL_VOID(Normal3fv, glNormal3fv, (const GLfloat* v), (v))
UKH_GL_VOID(Vertex2f, glVertex2f, (GLfloat x, GLfloat y), (x, y))
UKH_GL_VOID(Vertex3f, glVertex3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
UKH_GL_VOID(Vertex3fv, glVertex3fv, (const GLfloat* v), (v))
UKH_GL_VOID(TexCoord2f, glTexCoord2f, (GLfloat s, GLfloat t), (s, t))
UKH_GL_VOID(TexCoord2fv, glTexCoord2fv, (const GLfloat* v), (v))
UKH_GL_VOID(TexCoord3f, glTexCoord3f, (GLfloat s, GLfloat t, GLfloat r), (s, t, r))
UKH_GL_VOID(TexCoord3fv, glTexCoord3fv, (const GLfloat* v), (v))
UKH_GL_VOID(MultiTexCoord2f, glMultiTexCoord2f, (GLenum u, GLfloat s, GLfloat t), (u, s, t))
UKH_GL_VOID(MultiTexCoord2fv, glMultiTexCoord2fv, (GLenum u, const GLfloat* v), (u, v))
UKH_GL_VOID(VertexPointer, glVertexPointer, (GLint n, GLenum t, GLsizei s, const void* p),
            (n, t, s, p))
UKH_GL_VOID(NormalPointer, glNormalPointer, (GLenum t, GLsizei s, const void* p), (t, s, p))
UKH_GL_VOID(TexCoordPointer, glTexCoordPointer, (GLint n, GLenum t, GLsizei s, const void* p),
            (n, t, s, p))
UKH_GL_VOID(ColorPointer, glColorPointer, (GLint n, GLenum t, GLsizei s, const void* p),
            (n, t, s, p))
UKH_GL_VOID(EnableClientState, glEnableClientState, (GLenum a), (a))
UKH_GL_VOID(DisableClientState, glDisableClientState, (GLenum a), (a))
UKH_GL_VOID(ClientActiveTexture, glClientActiveTexture, (GLenum u), (u))
UKH_GL_VOID(DrawElements, glDrawElements, (GLenum m, GLsizei n, GLenum t, const void* i),
            (m, n, t, i))
UKH_GL_VOID(DrawArrays, glDrawArrays, (GLenum m, GLint f, GLsizei n), (m, f, n))
// Only where GL_EXT_compiled_vertex_array is advertised.
UKH_GL_VOID(LockArraysEXT, glLockArraysEXT, (GLint f, GLsizei n), (f, n))
UKH_GL_VOID(UnlockArraysEXT, glUnlockArraysEXT, (), ())
UKH_GL_VOID(BindBuffer, glBindBuffer, (GLenum t, GLuint b), (t, b))
UKH_GL_VOID(DisableVertexAttribArray, glDisableVertexAttribArray, (GLuint i), (i))

// GLU quadrics
UKH_GL_RESULT(GLUquadric*, NewQuadric, gluNewQuadric, (), ())
UKH_GL_VOID(QuadricDrawStyle, gluQuadricDrawStyle, (GLUquadric * q, GLenum s), (q, s))
UKH_GL_VOID(QuadricNormals, gluQuadricNormals, (GLUquadric * q, GLenum n), (q, n))
UKH_GL_VOID(QuadricOrientation, gluQuadricOrientation, (GLUquadric * q, GLenum o), (q, o))
UKH_GL_VOID(QuadricTexture, gluQuadricTexture, (GLUquadric * q, GLboolean t), (q, t))
UKH_GL_VOID(Cylinder, gluCylinder,
            (GLUquadric * q, GLdouble b, GLdouble t, GLdouble h, GLint sl, GLint st),
            (q, b, t, h, sl, st))
UKH_GL_VOID(Disk, gluDisk, (GLUquadric * q, GLdouble i, GLdouble o, GLint sl, GLint lo),
            (q, i, o, sl, lo))
UKH_GL_VOID(DeleteQuadric, gluDeleteQuadric, (GLUquadric * q), (q))

// textures
UKH_GL_VOID(GenTextures, glGenTextures, (GLsizei n, GLuint* t), (n, t))
UKH_GL_VOID(DeleteTextures, glDeleteTextures, (GLsizei n, const GLuint* t), (n, t))
UKH_GL_VOID(BindTexture, glBindTexture, (GLenum t, GLuint h), (t, h))
UKH_GL_VOID(ActiveTexture, glActiveTexture, (GLenum u), (u))
UKH_GL_RESULT(GLboolean, IsTexture, glIsTexture, (GLuint t), (t))
UKH_GL_VOID(TexImage1D, glTexImage1D,
            (GLenum t, GLint l, GLint i, GLsizei w, GLint b, GLenum f, GLenum ty, const void* p),
            (t, l, i, w, b, f, ty, p))
UKH_GL_VOID(TexImage2D, glTexImage2D,
            (GLenum t, GLint l, GLint i, GLsizei w, GLsizei h, GLint b, GLenum f, GLenum ty,
             const void* p),
            (t, l, i, w, h, b, f, ty, p))
UKH_GL_VOID(TexImage3D, glTexImage3D,
            (GLenum t, GLint l, GLint i, GLsizei w, GLsizei h, GLsizei d, GLint b, GLenum f,
             GLenum ty, const void* p),
            (t, l, i, w, h, d, b, f, ty, p))
UKH_GL_VOID(TexParameteri, glTexParameteri, (GLenum t, GLenum p, GLint v), (t, p, v))
UKH_GL_VOID(TexParameterf, glTexParameterf, (GLenum t, GLenum p, GLfloat v), (t, p, v))
UKH_GL_VOID(TexParameterfv, glTexParameterfv, (GLenum t, GLenum p, const GLfloat* v), (t, p, v))
UKH_GL_VOID(PixelStorei, glPixelStorei, (GLenum p, GLint v), (p, v))
UKH_GL_VOID(TexEnvi, glTexEnvi, (GLenum t, GLenum p, GLint v), (t, p, v))
UKH_GL_VOID(TexEnvfv, glTexEnvfv, (GLenum t, GLenum p, const GLfloat* v), (t, p, v))
UKH_GL_VOID(TexGeni, glTexGeni, (GLenum c, GLenum p, GLint v), (c, p, v))
UKH_GL_VOID(TexGenfv, glTexGenfv, (GLenum c, GLenum p, const GLfloat* v), (c, p, v))

#undef UKH_GL_VOID
#undef UKH_GL_RESULT

// ---- what the current context offers ------------------------------------------------------

// Version and extensions of the current context, read once when a context is first made
// current (TGLContext does this) so feature checks cost nothing per frame.
struct TGLFeatures {
  int MajorVersion = 0;
  int MinorVersion = 0;
  bool ARB_multitexture = false;
  bool ARB_texture_non_power_of_two = false;
  bool SGIS_generate_mipmap = false;
  bool EXT_texture_lod = false;
  bool SGIS_texture_lod = false;
  bool EXT_texture_edge_clamp = false;
  bool ARB_texture_cube_map = false;
  bool EXT_bgra = false;
  bool EXT_texture_filter_anisotropic = false;
  bool ARB_depth_clamp = false;
  bool ARB_vertex_buffer_object = false;
  bool EXT_compiled_vertex_array = false;
  bool EXT_blend_func_separate = false;
  bool VersionAtLeast(int major, int minor) const {
    return MajorVersion > major || (MajorVersion == major && MinorVersion >= minor);
  }
};

// Reads the features from the GL context current on this thread.
TGLFeatures ReadGLFeatures();
// The features of the engine's current context (all false when none is current).
const TGLFeatures& CurrentFeatures();
void SetCurrentFeatures(const TGLFeatures* features);

}  // namespace gl
}  // namespace ukh
