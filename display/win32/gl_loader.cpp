// display/win32/gl_loader.cpp -- the OpenGL calls beyond 1.1 that the page code makes, for Windows, whose
// opengl32 exports 1.1 alone. Each is defined here under its own name and goes through a pointer that
// wglGetProcAddress fills once a context is current; a call the driver lacks does nothing and answers
// "none" (0, no program, no uniform), so a context of 1.1 runs the page code's 1.1 path unchanged.
#include "display/win32/win32_window.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>
#include <cstring>

// Return type, name, parameters, arguments, answer when the driver lacks the call.
#define TOCKWHEEL_GL_CALLS(X)                                                                                        \
    X(void, glActiveTexture, (GLenum a), (a), )                                                                      \
    X(void, glAttachShader, (GLuint a, GLuint b), (a, b), )                                                          \
    X(void, glBindBuffer, (GLenum a, GLuint b), (a, b), )                                                            \
    X(void, glBindBufferBase, (GLenum a, GLuint b, GLuint c), (a, b, c), )                                           \
    X(void, glBindFramebuffer, (GLenum a, GLuint b), (a, b), )                                                       \
    X(void, glBindImageTexture, (GLuint a, GLuint b, GLint c, GLboolean d, GLint e, GLenum f, GLenum g),              \
      (a, b, c, d, e, f, g), )                                                                                       \
    X(void, glBindRenderbuffer, (GLenum a, GLuint b), (a, b), )                                                      \
    X(void, glBlitFramebuffer, (GLint a, GLint b, GLint c, GLint d, GLint e, GLint f, GLint g, GLint h, GLbitfield i, \
                                GLenum j),                                                                           \
      (a, b, c, d, e, f, g, h, i, j), )                                                                              \
    X(void, glBufferData, (GLenum a, GLsizeiptr b, const void* c, GLenum d), (a, b, c, d), )                         \
    X(void, glBufferSubData, (GLenum a, GLintptr b, GLsizeiptr c, const void* d), (a, b, c, d), )                    \
    X(GLenum, glCheckFramebufferStatus, (GLenum a), (a), 0)                                                          \
    X(void, glCompileShader, (GLuint a), (a), )                                                                      \
    X(GLuint, glCreateProgram, (void), (), 0)                                                                        \
    X(GLuint, glCreateShader, (GLenum a), (a), 0)                                                                    \
    X(void, glDeleteBuffers, (GLsizei a, const GLuint* b), (a, b), )                                                 \
    X(void, glDeleteFramebuffers, (GLsizei a, const GLuint* b), (a, b), )                                            \
    X(void, glDeleteProgram, (GLuint a), (a), )                                                                      \
    X(void, glDeleteRenderbuffers, (GLsizei a, const GLuint* b), (a, b), )                                           \
    X(void, glDeleteShader, (GLuint a), (a), )                                                                       \
    X(void, glDispatchCompute, (GLuint a, GLuint b, GLuint c), (a, b, c), )                                          \
    X(void, glFramebufferRenderbuffer, (GLenum a, GLenum b, GLenum c, GLuint d), (a, b, c, d), )                     \
    X(void, glFramebufferTexture2D, (GLenum a, GLenum b, GLenum c, GLuint d, GLint e), (a, b, c, d, e), )            \
    X(void, glGenBuffers, (GLsizei a, GLuint* b), (a, b), )                                                          \
    X(void, glGenFramebuffers, (GLsizei a, GLuint* b), (a, b), )                                                     \
    X(void, glGenRenderbuffers, (GLsizei a, GLuint* b), (a, b), )                                                    \
    X(void, glGetBufferParameteriv, (GLenum a, GLenum b, GLint* c), (a, b, c), )                                     \
    X(void, glGetProgramiv, (GLuint a, GLenum b, GLint* c), (a, b, c), )                                             \
    X(void, glGetShaderInfoLog, (GLuint a, GLsizei b, GLsizei* c, GLchar* d), (a, b, c, d), )                        \
    X(void, glGetShaderiv, (GLuint a, GLenum b, GLint* c), (a, b, c), )                                              \
    X(GLint, glGetUniformLocation, (GLuint a, const GLchar* b), (a, b), -1)                                          \
    X(void, glLinkProgram, (GLuint a), (a), )                                                                        \
    X(void, glMemoryBarrier, (GLbitfield a), (a), )                                                                  \
    X(void, glRenderbufferStorage, (GLenum a, GLenum b, GLsizei c, GLsizei d), (a, b, c, d), )                       \
    X(void, glShaderSource, (GLuint a, GLsizei b, const GLchar* const* c, const GLint* d), (a, b, c, d), )           \
    X(void, glUniform1i, (GLint a, GLint b), (a, b), )                                                               \
    X(void, glUniform1ui, (GLint a, GLuint b), (a, b), )                                                             \
    X(void, glUniform3fv, (GLint a, GLsizei b, const GLfloat* c), (a, b, c), )                                       \
    X(void, glUniform4ui, (GLint a, GLuint b, GLuint c, GLuint d, GLuint e), (a, b, c, d, e), )                      \
    X(void, glUseProgram, (GLuint a), (a), )

namespace {

#define TOCKWHEEL_GL_POINTER(type, name, params, args, none) type(APIENTRY* p_##name) params = nullptr;
TOCKWHEEL_GL_CALLS(TOCKWHEEL_GL_POINTER)
void(APIENTRY* p_glWindowPos2i)(GLint, GLint) = nullptr;

// wglGetProcAddress answers 1, 2, 3 or -1 instead of null on some drivers.
PROC lookUp(const char* name)
{
    PROC found = wglGetProcAddress(name);
    auto value = reinterpret_cast<intptr_t>(found);
    return value >= -1 && value <= 3 ? nullptr : found;
}

// Whole names only: "GL_EXT_framebuffer_object" is not "GL_EXT_framebuffer_object_extra".
bool extensionListed(const char* name)
{
    const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const size_t length = std::strlen(name);
    for (const char* at = list ? std::strstr(list, name) : nullptr; at; at = std::strstr(at + length, name)) {
        const bool starts = at == list || at[-1] == ' ';
        if (starts && (at[length] == ' ' || at[length] == '\0')) return true;
    }
    return false;
}

// An entry point alone proves nothing: a driver may export calls its context does not offer.
bool framebufferObjectsOffered()
{
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return (version && std::atoi(version) >= 3) || extensionListed("GL_ARB_framebuffer_object") ||
           (extensionListed("GL_EXT_framebuffer_object") && extensionListed("GL_EXT_framebuffer_blit"));
}

template <typename Pointer>
void load(Pointer* pointer, const char* name)
{
    *pointer = reinterpret_cast<Pointer>(reinterpret_cast<void*>(lookUp(name)));
}

}  // namespace

extern "C" {

#define TOCKWHEEL_GL_THUNK(type, name, params, args, none)   \
    type APIENTRY name params                                \
    {                                                        \
        if (!p_##name) return type(none);                     \
        return p_##name args;                                \
    }
TOCKWHEEL_GL_CALLS(TOCKWHEEL_GL_THUNK)

// 1.1 places the raster position through the matrices only: from the viewport's corner, with
// identity matrices, a bitmap of no pixels moves it anywhere, outside the window included.
void APIENTRY glWindowPos2i(GLint x, GLint y)
{
    if (p_glWindowPos2i) {
        p_glWindowPos2i(x, y);
        return;
    }
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRasterPos2f(-1.0f, -1.0f);
    glBitmap(0, 0, 0, 0, static_cast<GLfloat>(x - viewport[0]), static_cast<GLfloat>(y - viewport[1]), nullptr);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

}  // extern "C"

namespace display {

bool loadGlCalls()
{
#define TOCKWHEEL_GL_LOAD(type, name, params, args, none) load(&p_##name, #name);
    TOCKWHEEL_GL_CALLS(TOCKWHEEL_GL_LOAD)
    load(&p_glWindowPos2i, "glWindowPos2i");
    // Framebuffer objects under their EXT names where the driver offers only those.
    if (!p_glGenFramebuffers) {
        load(&p_glGenFramebuffers, "glGenFramebuffersEXT");
        load(&p_glBindFramebuffer, "glBindFramebufferEXT");
        load(&p_glDeleteFramebuffers, "glDeleteFramebuffersEXT");
        load(&p_glCheckFramebufferStatus, "glCheckFramebufferStatusEXT");
        load(&p_glFramebufferTexture2D, "glFramebufferTexture2DEXT");
        load(&p_glFramebufferRenderbuffer, "glFramebufferRenderbufferEXT");
        load(&p_glGenRenderbuffers, "glGenRenderbuffersEXT");
        load(&p_glBindRenderbuffer, "glBindRenderbufferEXT");
        load(&p_glDeleteRenderbuffers, "glDeleteRenderbuffersEXT");
        load(&p_glRenderbufferStorage, "glRenderbufferStorageEXT");
        load(&p_glBlitFramebuffer, "glBlitFramebufferEXT");
    }
    return framebufferObjectsOffered() && framebufferCallsLoaded();
}

void forgetGlCalls()
{
#define TOCKWHEEL_GL_FORGET(type, name, params, args, none) p_##name = nullptr;
    TOCKWHEEL_GL_CALLS(TOCKWHEEL_GL_FORGET)
    p_glWindowPos2i = nullptr;
}

// Pages drawn off screen need framebuffer objects, their renderbuffers, the blit that shows them and the
// shaders of the colour-depth pass; a page of full precision needs no shader but still the rest.
bool framebufferCallsLoaded()
{
    return p_glGenFramebuffers && p_glBindFramebuffer && p_glDeleteFramebuffers && p_glCheckFramebufferStatus &&
           p_glFramebufferTexture2D && p_glFramebufferRenderbuffer && p_glGenRenderbuffers &&
           p_glBindRenderbuffer && p_glDeleteRenderbuffers && p_glRenderbufferStorage && p_glBlitFramebuffer;
}

}  // namespace display
