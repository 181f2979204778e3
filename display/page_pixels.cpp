// display/page_pixels.cpp -- pixel brackets stored straight into the page's colour texture by a compute
// shader, the fast path where the context offers compute shaders and image stores (OpenGL 4.3).
//
// A software rasteriser spends far more on a GL_POINTS vertex (set-up, binning into tiles, one shaded
// 4 x 4 block) than on the pixel it lands: llvmpipe takes about 150 ns a point. One image store per
// pixel skips all of that and writes what a 1-pixel point writes with the 2D state: the colour with
// alpha 1, replacing the pixel, at the same place.
#include "display/backend.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace display {

namespace {

// One work group walks the whole batch: llvmpipe runs each dispatch on its compute threads while the
// caller waits, and a single group needs only one of them scheduled, which matters on busy cores.
// Pixel centres arrive as (x + 0.5, y + 0.5) from the top left, the array a GL_POINTS draw takes; the
// page's texture rows count upwards from the bottom. rgba8ui is the page's RGBA8 reinterpreted
// component by component, so the colour is stored as the bytes given, with no conversion.
constexpr const char* kStoreShader =
    "#version 430\n"
    "layout(local_size_x = 64) in;\n"
    "layout(std430, binding = 0) readonly buffer Centres { vec2 centres[]; };\n"
    "layout(rgba8ui, binding = 0) writeonly uniform uimage2D page;\n"
    "uniform uint count;\n"
    "uniform int lastRow;\n"
    "uniform uvec4 colour;\n"
    "void main() {\n"
    "    for (uint i = gl_LocalInvocationIndex; i < count; i += 64u) {\n"
    "        ivec2 p = ivec2(centres[i]);\n"
    "        imageStore(page, ivec2(p.x, lastRow - p.y), colour);\n"
    "    }\n"
    "}\n";

struct ImageStore {
    bool probed;          // this context was asked whether it can run the shader
    GLuint program;       // 0 when it cannot
    GLuint centres;       // shader storage buffer of `capacity` pixel centres
    GLint countUniform;
    GLint lastRowUniform;
    GLint colourUniform;
    int capacity;         // pixel centres the buffer holds
};

ImageStore gStore;

bool contextHasComputeShaders()
{
    GLint major = 0, minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    return major > 4 || (major == 4 && minor >= 3);
}

// TOCKWHEEL_PIXELS=points keeps every bracket on GL_POINTS (a driver whose image stores misbehave, or
// a comparison of the two paths).
bool pointsAsked()
{
    const char* value = std::getenv("TOCKWHEEL_PIXELS");
    return value && std::strcmp(value, "points") == 0;
}

GLuint buildStoreProgram()
{
    const unsigned shader = compileShader(GL_COMPUTE_SHADER, kStoreShader, "pixel store");
    return linkProgram(&shader, 1);
}

bool probe(int capacity)
{
    if (pointsAsked() || !contextHasComputeShaders()) return false;
    gStore.program = buildStoreProgram();
    if (!gStore.program) return false;
    gStore.countUniform = glGetUniformLocation(gStore.program, "count");
    gStore.lastRowUniform = glGetUniformLocation(gStore.program, "lastRow");
    gStore.colourUniform = glGetUniformLocation(gStore.program, "colour");
    GLint previous = 0;
    glGetIntegerv(GL_SHADER_STORAGE_BUFFER_BINDING, &previous);
    glGenBuffers(1, &gStore.centres);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, gStore.centres);
    glBufferData(GL_SHADER_STORAGE_BUFFER, static_cast<GLsizeiptr>(capacity) * 2 * sizeof(GLfloat), nullptr,
                 GL_STREAM_DRAW);
    GLint bytes = 0;
    glGetBufferParameteriv(GL_SHADER_STORAGE_BUFFER, GL_BUFFER_SIZE, &bytes);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, static_cast<GLuint>(previous));
    gStore.capacity = capacity;
    return bytes == static_cast<GLint>(capacity * 2 * sizeof(GLfloat));
}

}  // namespace

bool imageStoreAvailable(int capacity)
{
    if (!gStore.probed) {
        if (!probe(capacity)) releaseImageStore();
        gStore.probed = true;   // asked once per context
    }
    return gStore.program != 0 && capacity <= gStore.capacity;
}

void storePagePixels(const float* centres, int count, const uint8_t colour[3])
{
    const GLuint page = pageColourTexture();
    if (count <= 0 || !page || !gStore.program || count > gStore.capacity) return;
    GLint program = 0, buffer = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_SHADER_STORAGE_BUFFER_BINDING, &buffer);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, gStore.centres);
    glBufferSubData(GL_SHADER_STORAGE_BUFFER, 0, static_cast<GLsizeiptr>(count) * 2 * sizeof(GLfloat), centres);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 0, gStore.centres);
    glBindImageTexture(0, page, 0, GL_FALSE, 0, GL_WRITE_ONLY, GL_RGBA8UI);
    glUseProgram(gStore.program);
    glUniform1ui(gStore.countUniform, static_cast<GLuint>(count));
    glUniform1i(gStore.lastRowUniform, gFramework.screen.mode.yRes - 1);
    glUniform4ui(gStore.colourUniform, colour[0], colour[1], colour[2], 255);
    // Drawing issued before the bracket lands before the stores replace its pixels.
    glMemoryBarrier(GL_FRAMEBUFFER_BARRIER_BIT | GL_SHADER_IMAGE_ACCESS_BARRIER_BIT);
    glDispatchCompute(1, 1, 1);
    // What is drawn, read, copied or presented afterwards sees the stored pixels.
    glMemoryBarrier(GL_FRAMEBUFFER_BARRIER_BIT | GL_TEXTURE_FETCH_BARRIER_BIT | GL_TEXTURE_UPDATE_BARRIER_BIT |
                    GL_SHADER_IMAGE_ACCESS_BARRIER_BIT);
    glUseProgram(static_cast<GLuint>(program));
    glBindImageTexture(0, 0, 0, GL_FALSE, 0, GL_WRITE_ONLY, GL_RGBA8UI);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 0, 0);
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, static_cast<GLuint>(buffer));
}

void releaseImageStore()
{
    if (gStore.program) glDeleteProgram(gStore.program);
    if (gStore.centres) glDeleteBuffers(1, &gStore.centres);
    gStore = {};
}

}  // namespace display
