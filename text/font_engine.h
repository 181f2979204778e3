// text/font_engine.h -- the font engine's library handle, one per process unless a caller brings its own.
#pragma once

struct FT_LibraryRec_;

class FontEngine {
public:
    FontEngine();
    virtual ~FontEngine();
    FontEngine(const FontEngine&) = delete;
    FontEngine& operator=(const FontEngine&) = delete;

    // The engine shared by every face constructed without one; started on first use and kept for the
    // life of the process. Never null, but it may have failed to start (isReady() false).
    static FontEngine& processEngine();

    bool isReady() const { return library != nullptr; }
    FT_LibraryRec_* handle() const { return library; }

private:
    FT_LibraryRec_* library = nullptr;   // owned; null when the engine could not start
};
