// saver/scene_setup.cpp -- the scene built once, in a fixed order, and the objects that live until exit.
#include "saver/scene_setup.h"

#include <GL/gl.h>
#include <new>
#include <string>

#include "config/settings.h"
#include "platform/paths.h"
#include "platform/windows_dir.h"
#include "saver/clock_draw.h"
#include "saver/color_schemes.h"
#include "saver/frame_loop.h"
#include "saver/password_prompt.h"
#include "saver/star_field.h"

ClockScene scene;
display::Bitmap* passwordBitmap = nullptr;
// Never destroyed: the process's font engine may be gone by the time exit-time destructors run.
FontFace& fontFace = *new FontFace();
FilledTextFont* filledFont = nullptr;
OutlineTextFont* outlineFont = nullptr;

namespace {

constexpr unsigned kContextFlags = display::kGlDoubleBuffer | display::kGlDepthBuffer;   // 0x12
constexpr int kStarLayerShare = 4;        // each layer gets this fraction of starAmount

[[noreturn]] void failWithLastError() { display::fatalError(display::errorMessage(display::lastError())); }

// A 90-degree view across the page's shorter side, widened along the longer one, so that the clock is
// round on a page of any shape: what a square view would show stays in view.
void setProjection(int width, int height)
{
    glViewport(0, 0, width, height);
    double across = 1, up = 1;
    if (width > 0 && height > 0 && width >= height) across = static_cast<double>(width) / height;
    if (width > 0 && height > width) up = static_cast<double>(height) / width;
    GLint matrixMode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-across, across, -up, up, 1, 60);
    glMatrixMode(static_cast<GLenum>(matrixMode));
}

void setFixedGlState()
{
    glClearColor(0, 0, 0, 0);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    setProjection(Settings.screenWidth, Settings.screenHeight);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// Given while the model-view matrix is the identity: the light comes from behind the eye whatever
// camera a frame sets later.
void setLight()
{
    const GLfloat position[4] = {0, 0, 20, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glCullFace(GL_BACK);
}

void loadPromptBitmap()
{
    bool large = promptIsDoubleSize(Settings.screenWidth, Settings.screenHeight);
    passwordBitmap = display::loadBitmap(large ? "Orvask\\pass2x.pag" : "Orvask\\pass.pag", true);
    if (!passwordBitmap) failWithLastError();
}

void makeFonts()
{
    // Found before "fonts" becomes current, as data paths are relative to the Windows directory; a font
    // missing there is taken from the installed data. Any case of the file's name matches, as on Windows.
    std::string fontPath = platform::findDataFile("fonts\\Arial.ttf");
    // A missing folder is not reported here; the font is then opened from the installed data, or not at all.
    platform::setCurrentDirectory("fonts");
    if (fontPath.empty() || !fontFace.open(fontPath.c_str())) display::fatalError("Can't open arial.ttf");
    filledFont = new (std::nothrow) FilledTextFont(fontFace);
    if (!filledFont || !filledFont->create(kTextPointSize)) display::fatalError("Can't make font");
    outlineFont = new (std::nothrow) OutlineTextFont(fontFace);
    if (!outlineFont || !outlineFont->create(kTextPointSize)) display::fatalError("Can't make font");
    // Both fonts now hold all their glyphs: the file's mapping and the engine's tables would stay
    // resident for nothing, and closing them before the first frames lowers the run's peak memory.
    filledFont->releaseFace();
    outlineFont->releaseFace();
    fontFace.close();
}

}  // namespace

// A host's window changed shape: the stars keep their places relative to the page and the view takes the
// new shape, so the field still covers the window and the clock stays round.
void followPageSize()
{
    int width = 0, height = 0;
    if (!display::pageSize(&width, &height) || (width == Settings.screenWidth && height == Settings.screenHeight))
        return;
    for (StarLayer& layer : starLayers) rescaleStarLayer(layer, width, height);
    Settings.screenWidth = width;
    Settings.screenHeight = height;
    setProjection(width, height);
}

void setUpScene()
{
    if (!display::startOpenGL(kContextFlags)) failWithLastError();
    setFixedGlState();
    frameCounter = Settings.frameSkip;   // so that the very first pass renders
    setLight();
    buildClockGeometry();
    scene = ClockScene(0, 0, 0);
    applyColorScheme(scene);
    for (StarLayer& layer : starLayers)
        initStarLayer(layer, Settings.screenWidth, Settings.screenHeight, Settings.starAmount / kStarLayerShare);
    if (Settings.passwordEnabled == 1) loadPromptBitmap();
    makeFonts();
    display::hideCursor();
}
