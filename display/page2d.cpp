// display/page2d.cpp -- 2D drawing on the page in pixel coordinates: colour, pixel brackets, filled
// rectangles and bitmaps, each leaving the scene's OpenGL state as it found it.
#include "display/backend.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <new>

namespace display {

namespace {

// A bracket collects this many pixels before it is drawn; more (rare: the star field plots at most
// 4 x 9,999) are drawn in further batches of this size, never by growing the buffer in a frame.
constexpr int kPixelBatch = 65536;

// Below this many pixels a batch goes as points even where it could be stored: a few hundred points
// cost llvmpipe no more than one dispatch of the store (15 to 25 us), and a context that never
// dispatches one never compiles the compute shader nor starts the driver's compute threads, about
// 8 MB of resident memory (a star field of the default 700 stars plots 175 a layer).
constexpr int kSmallestStoredBatch = 1024;

struct Canvas {
    GLfloat* vertices;   // pixel centres (x + 0.5, y + 0.5) of the bracket; floats are llvmpipe's fast path
    int count;           // pixels collected
    bool inBracket;      // between beginPixels and endPixels
    GLubyte colour[3];   // current colour, 8-bit red, green, blue
    int path;            // PixelPath asked for
};

Canvas gCanvas = {nullptr, 0, false, {255, 255, 255}, kPixelPathFastest};

// Pixel coordinates with the origin at the top left, each pixel addressed at its centre; the scene's
// matrices, lighting, depth test and the rest come back at endDrawing2D.
void beginDrawing2D()
{
    const ModeInfo& page = gFramework.screen.mode;
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT | GL_VIEWPORT_BIT | GL_POINT_BIT |
                 GL_COLOR_BUFFER_BIT | GL_POLYGON_BIT | GL_PIXEL_MODE_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT | GL_CLIENT_PIXEL_STORE_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, page.xRes, page.yRes, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, page.xRes, page.yRes);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_POINT_SMOOTH);
    glDisable(GL_COLOR_MATERIAL);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glPointSize(1.0f);
    glColor3ubv(gCanvas.colour);
}

void endDrawing2D()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib();
}

void flushPixels()
{
    if (gCanvas.count == 0) return;
    const bool large = gCanvas.count >= kSmallestStoredBatch || gCanvas.path == kPixelPathStores;
    if (large && pixelsUseImageStore()) {
        storePagePixels(gCanvas.vertices, gCanvas.count, gCanvas.colour);
        gCanvas.count = 0;
        return;
    }
    beginDrawing2D();
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, gCanvas.vertices);
    glDrawArrays(GL_POINTS, 0, gCanvas.count);
    endDrawing2D();
    gCanvas.count = 0;
}

bool drawable()
{
    return gFramework.screen.openGL;
}

}  // namespace

void choosePixelPath(int path)
{
    gCanvas.path = path;
}

bool pixelsUseImageStore()
{
    // Compute shaders store into a texture; a page on screen has none.
    return gCanvas.path != kPixelPathPoints && drawable() && pageColourTexture() != 0 &&
           imageStoreAvailable(kPixelBatch);
}

void setColorRGB(uint8_t red, uint8_t green, uint8_t blue)
{
    if (gCanvas.inBracket) flushPixels();   // pixels already collected keep the colour they had
    gCanvas.colour[0] = red;
    gCanvas.colour[1] = green;
    gCanvas.colour[2] = blue;
}

void beginPixels()
{
    if (!gCanvas.vertices) gCanvas.vertices = new (std::nothrow) GLfloat[2 * kPixelBatch];
    gCanvas.count = 0;
    gCanvas.inBracket = gCanvas.vertices != nullptr;
}

void plotPixel(int x, int y)
{
    if (!gCanvas.inBracket) return;
    const ModeInfo& page = gFramework.screen.mode;
    if (x < 0 || y < 0 || x >= page.xRes || y >= page.yRes) return;
    if (gCanvas.count == kPixelBatch) flushPixels();
    GLfloat* vertex = gCanvas.vertices + 2 * gCanvas.count++;
    vertex[0] = static_cast<GLfloat>(x) + 0.5f;
    vertex[1] = static_cast<GLfloat>(y) + 0.5f;
}

void endPixels()
{
    if (gCanvas.inBracket && drawable()) flushPixels();
    gCanvas.count = 0;
    gCanvas.inBracket = false;
}

void fillRectAround(int cx, int cy, int halfWidth, int halfHeight)
{
    if (!drawable() || halfWidth < 0 || halfHeight < 0) return;
    beginDrawing2D();
    // Both corners belong to the rectangle; GL's rectangle ends at the far edge of the last pixel.
    glRecti(cx - halfWidth, cy - halfHeight, cx + halfWidth + 1, cy + halfHeight + 1);
    endDrawing2D();
}

void putBitmap(int x, int y, const Bitmap* bitmap, int op)
{
    if (!drawable() || !bitmap || bitmap->width <= 0 || bitmap->height <= 0) return;
    if (bitmap->pixels.size() < static_cast<size_t>(bitmap->width) * static_cast<size_t>(bitmap->height)) return;
    beginDrawing2D();
    static const GLenum kLogicOps[] = {GL_COPY, GL_AND, GL_OR, GL_XOR};
    if (op > 0 && op < 4) {
        glEnable(GL_COLOR_LOGIC_OP);
        glLogicOp(kLogicOps[op]);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelZoom(1.0f, -1.0f);   // rows are stored top-down; GL's window rows count upwards
    glWindowPos2i(x, gFramework.screen.mode.yRes - y);
    glDrawPixels(bitmap->width, bitmap->height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, bitmap->pixels.data());
    endDrawing2D();
}

void releaseCanvas()
{
    releaseImageStore();
    delete[] gCanvas.vertices;
    gCanvas.vertices = nullptr;
    gCanvas.count = 0;
    gCanvas.inBracket = false;
}

}  // namespace display
