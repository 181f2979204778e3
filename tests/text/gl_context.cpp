// tests/text/gl_context.cpp -- EGL surfaceless context, framebuffer object and PNG writing for tests.
#include "gl_context.h"

#define GL_GLEXT_PROTOTYPES 1
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <png.h>

#include <algorithm>
#include <cstdio>

OffscreenContext::OffscreenContext(int width, int height) : width_(width), height_(height)
{
    ready_ = start();
}

bool OffscreenContext::start()
{
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr)
        return failure_ = "no eglGetPlatformDisplayEXT", false;
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
        return failure_ = "no surfaceless EGL display", false;
    display_ = display;
    if (!eglBindAPI(EGL_OPENGL_API))
        return failure_ = "eglBindAPI(EGL_OPENGL_API) refused", false;
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &configCount) || configCount < 1) {
        const EGLint anyAttributes[] = {EGL_SURFACE_TYPE, 0, EGL_NONE};
        if (!eglChooseConfig(display, anyAttributes, &config, 1, &configCount) || configCount < 1)
            return failure_ = "no EGL config", false;
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT)
        return failure_ = "no OpenGL context", false;
    context_ = context;
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
        return failure_ = "eglMakeCurrent failed", false;

    glGenFramebuffers(1, &framebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glGenRenderbuffers(1, &colour_);
    glBindRenderbuffer(GL_RENDERBUFFER, colour_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width_, height_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
    glGenRenderbuffers(1, &depth_);
    glBindRenderbuffer(GL_RENDERBUFFER, depth_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width_, height_);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        return failure_ = "framebuffer incomplete", false;
    glViewport(0, 0, width_, height_);
    return true;
}

OffscreenContext::~OffscreenContext()
{
    if (display_ == nullptr)
        return;
    if (context_ != nullptr) {
        if (framebuffer_ != 0) {
            glDeleteRenderbuffers(1, &depth_);
            glDeleteRenderbuffers(1, &colour_);
            glDeleteFramebuffers(1, &framebuffer_);
        }
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display_, context_);
    }
    // No eglTerminate: it unloads the driver, and the leak checker could then no longer tell the driver's
    // own leftovers (suppressed by name) from ours.
}

std::vector<uint8_t> OffscreenContext::readPixels() const
{
    std::vector<uint8_t> bottomUp(static_cast<size_t>(width_) * height_ * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<uint8_t> topDown(bottomUp.size());
    size_t rowBytes = static_cast<size_t>(width_) * 4;
    for (int row = 0; row < height_; ++row)
        std::copy_n(&bottomUp[(height_ - 1 - row) * rowBytes], rowBytes, &topDown[row * rowBytes]);
    return topDown;
}

bool OffscreenContext::writePng(const std::string& path) const
{
    std::vector<uint8_t> pixels = readPixels();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width_, height_, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int row = 0; row < height_; ++row)
        png_write_row(png, &pixels[static_cast<size_t>(row) * width_ * 4]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}
