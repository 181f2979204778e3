// tests/text/gl_context.h -- an offscreen OpenGL context (EGL surfaceless, compatibility profile)
// rendering into a framebuffer object, and PNG snapshots of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class OffscreenContext {
public:
    OffscreenContext(int width, int height);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    bool isReady() const { return ready_; }
    const std::string& failure() const { return failure_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // RGBA rows from the top of the picture down.
    std::vector<uint8_t> readPixels() const;
    bool writePng(const std::string& path) const;

private:
    bool start();

    int width_;
    int height_;
    bool ready_ = false;
    std::string failure_;
    void* display_ = nullptr;
    void* context_ = nullptr;
    unsigned int framebuffer_ = 0;
    unsigned int colour_ = 0;
    unsigned int depth_ = 0;
};
