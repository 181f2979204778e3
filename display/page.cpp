// display/page.cpp -- the page the scene and the 2D operations draw into, and its presented copy with
// the mode's colour depth applied (3-3-2 palette, 5-5-5, 5-6-5 or full precision). A full-precision
// page the window can show as it is drawn is the window's back buffer itself.
#include "display/backend.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>

namespace display {

namespace {

struct Pages {
    GLuint pageFramebuffer;       // what the saver draws into: colour texture + depth
    GLuint pageColour;            // texture, RGBA8
    GLuint pageDepth;             // renderbuffer, depth 16, 0 without a depth buffer
    GLuint presentedFramebuffer;  // the page as the display shows it
    GLuint presentedColour;       // renderbuffer, RGBA8
    GLuint quantiser;             // program, 0 until a reduced page is first presented through it
    bool reduced;                 // the mode has fewer bits than the page: levels apply
    bool presentedFailed;         // the colour-depth pass could not be made on this driver
    GLint levelsUniform;          // the quantiser's levels per channel
    float levels[3];              // 7-7-3, 31-31-31 or 31-63-31 steps per channel
    int width;                    // pixels
    int height;                   // pixels
    bool onScreen;                // the page is framebuffer 0, the window's back buffer
};

Pages gPages;

// Rounding each channel to the nearest level is the nearest-colour search of a 3-3-2 palette too.
constexpr const char* kVertexShader =
    "#version 120\n"
    "void main() { gl_TexCoord[0] = gl_MultiTexCoord0; gl_Position = gl_Vertex; }\n";
constexpr const char* kFragmentShader =
    "#version 120\n"
    "uniform sampler2D page;\n"
    "uniform vec3 levels;\n"
    "void main() {\n"
    "    vec3 c = texture2D(page, gl_TexCoord[0].st).rgb;\n"
    "    gl_FragColor = vec4(floor(c * levels + 0.5) / levels, 1.0);\n"
    "}\n";

GLuint buildQuantiser()
{
    const unsigned shaders[] = {compileShader(GL_VERTEX_SHADER, kVertexShader, "colour-depth"),
                                compileShader(GL_FRAGMENT_SHADER, kFragmentShader, "colour-depth")};
    return linkProgram(shaders, 2);
}

bool framebufferComplete(GLuint framebuffer)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

// Draws the page through the quantiser into the presented framebuffer, leaving the saver's GL state as
// it was: everything pushed, the page bound again afterwards.
void quantiseIntoPresented()
{
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glBindFramebuffer(GL_FRAMEBUFFER, gPages.presentedFramebuffer);
    glViewport(0, 0, gPages.width, gPages.height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_COLOR_LOGIC_OP);
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, gPages.pageColour);
    glUseProgram(gPages.quantiser);
    glUniform3fv(gPages.levelsUniform, 1, gPages.levels);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex2f(-1, -1);
    glTexCoord2f(1, 0); glVertex2f(1, -1);
    glTexCoord2f(1, 1); glVertex2f(1, 1);
    glTexCoord2f(0, 1); glVertex2f(-1, 1);
    glEnd();
    glUseProgram(static_cast<GLuint>(program));

    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    glBindFramebuffer(GL_FRAMEBUFFER, gPages.pageFramebuffer);
}

// The presented copy of a reduced page and the colour-depth pass that fills it; false, with nothing
// kept, when the driver cannot make them.
bool createPresented()
{
    GLint framebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    glGenRenderbuffers(1, &gPages.presentedColour);
    glBindRenderbuffer(GL_RENDERBUFFER, gPages.presentedColour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, gPages.width, gPages.height);
    glGenFramebuffers(1, &gPages.presentedFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, gPages.presentedFramebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, gPages.presentedColour);
    bool ok = framebufferComplete(gPages.presentedFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(framebuffer));
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    gPages.quantiser = ok ? buildQuantiser() : 0;
    if (gPages.quantiser) {
        gPages.levelsUniform = glGetUniformLocation(gPages.quantiser, "levels");
        glUseProgram(gPages.quantiser);
        glUniform1i(glGetUniformLocation(gPages.quantiser, "page"), 0);
        glUseProgram(static_cast<GLuint>(program));
    }
    if (gPages.quantiser) return true;
    glDeleteFramebuffers(1, &gPages.presentedFramebuffer);
    glDeleteRenderbuffers(1, &gPages.presentedColour);
    gPages.presentedFramebuffer = 0;
    gPages.presentedColour = 0;
    return false;
}

}  // namespace

// Passes that skip the scene (frameSkip, the password prompt) present the page as it was left, so the
// page can be the back buffer only where a swap leaves the back buffer as it was: a copying swap, as
// Mesa's software renderers make. A flipping swap hands back an older buffer. Two near-black marks,
// each swapped and read back, tell the two apart; a visual too shallow to hold them counts as flipping.
// Asked only once a page of the window's size could go on screen: the marks touch every pixel of the
// back buffer, which a page shown through the window's pixels never needs in memory. The scene's
// framebuffer, clear colour and scissor come back as they were.
bool backBufferSurvivesSwap(void (*swap)())
{
    constexpr uint8_t kMarks[] = {3, 5};   // blue levels
    GLint drawBinding = 0, readBinding = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawBinding);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readBinding);
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT | GL_PIXEL_MODE_BIT);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    bool kept = true;
    for (uint8_t mark : kMarks) {
        glClearColor(0, 0, mark / 255.0f, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        swap();
        uint8_t pixel[4] = {};
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        kept = kept && pixel[2] == mark;
    }
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glPopAttrib();
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawBinding));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readBinding));
    return kept;
}

bool levelsForDepth(int bitsPerPixel, float levels[3])
{
    switch (bitsPerPixel) {
    case 8: levels[0] = 7; levels[1] = 7; levels[2] = 3; return true;
    case 15: levels[0] = 31; levels[1] = 31; levels[2] = 31; return true;
    case 16: levels[0] = 31; levels[1] = 63; levels[2] = 31; return true;
    default: return false;
    }
}

// One shader of the framework's own; its log goes to stderr under `purpose` when it does not compile.
GLuint compileShader(GLenum kind, const char* source, const char* purpose)
{
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[512] = "";
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "display: %s shader: %s\n", purpose, log);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

// Links compiled shaders into a program and lets go of them; 0 when one of them is missing or linking fails.
GLuint linkProgram(const unsigned* shaders, int count)
{
    bool complete = true;
    for (int i = 0; i < count; ++i) complete = complete && shaders[i] != 0;
    GLuint program = complete ? glCreateProgram() : 0;
    for (int i = 0; i < count; ++i) {
        if (program) glAttachShader(program, shaders[i]);
    }
    if (program) glLinkProgram(program);
    for (int i = 0; i < count; ++i) glDeleteShader(shaders[i]);   // kept alive by the program while attached
    if (!program) return 0;
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

// A software renderer spends as long copying a full-screen page into the window as drawing the whole
// scene, so a page that needs neither its colours reduced nor stretching is drawn where it is shown.
bool createOnScreenPage(int width, int height, bool depthBuffer)
{
    gPages.onScreen = true;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0, 0, 0, 1);
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | (depthBuffer ? GL_DEPTH_BUFFER_BIT : 0));
    return true;
}

bool createPages(int width, int height, int bitsPerPixel, bool depthBuffer, bool onScreen)
{
    gPages = {};
    gPages.width = width;
    gPages.height = height;
    if (onScreen) return createOnScreenPage(width, height, depthBuffer);

    glGenTextures(1, &gPages.pageColour);
    glBindTexture(GL_TEXTURE_2D, gPages.pageColour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenFramebuffers(1, &gPages.pageFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, gPages.pageFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, gPages.pageColour, 0);
    if (depthBuffer) {
        glGenRenderbuffers(1, &gPages.pageDepth);
        glBindRenderbuffer(GL_RENDERBUFFER, gPages.pageDepth);
        // Depth alone: nothing draws with a stencil, and beside one a software renderer clears the depth
        // pixel by pixel, keeping the stencil bits, instead of filling memory (a fifth of a 1280 x 1024
        // frame on llvmpipe).
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, gPages.pageDepth);
    }
    bool ok = framebufferComplete(gPages.pageFramebuffer);
    glClearColor(0, 0, 0, 1);

    // Pages of 24 and 32 bits are shown as they are drawn: the page itself is what gets presented, which
    // saves a full-screen copy a frame. Fewer bits need the colour-depth pass into a copy of their own,
    // made at the first present that needs it: a back end that reduces the page itself never does.
    gPages.reduced = levelsForDepth(bitsPerPixel, gPages.levels);

    glBindFramebuffer(GL_FRAMEBUFFER, gPages.pageFramebuffer);
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | (depthBuffer ? GL_DEPTH_BUFFER_BIT : 0));
    if (!ok) destroyPages();
    return ok;
}

void destroyPages()
{
    releaseStretch();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (gPages.quantiser) glDeleteProgram(gPages.quantiser);
    glDeleteFramebuffers(1, &gPages.pageFramebuffer);
    glDeleteFramebuffers(1, &gPages.presentedFramebuffer);
    glDeleteTextures(1, &gPages.pageColour);
    glDeleteRenderbuffers(1, &gPages.pageDepth);
    glDeleteRenderbuffers(1, &gPages.presentedColour);
    gPages = {};
}

bool fullPrecisionPage(int bitsPerPixel)
{
    float levels[3];
    return !levelsForDepth(bitsPerPixel, levels);
}

bool pagesOnScreen()
{
    return gPages.onScreen;
}

// A driver that cannot build the colour-depth pass shows the page at full precision rather than nothing.
void presentPage()
{
    if (!gPages.pageFramebuffer || !gPages.reduced) return;
    if (!gPages.quantiser && !gPages.presentedFailed && !createPresented()) {
        std::fprintf(stderr, "display: no colour-depth pass on this driver; the page is shown at full precision\n");
        gPages.presentedFailed = true;
    }
    if (gPages.quantiser) quantiseIntoPresented();
}

unsigned pageColourTexture()
{
    return gPages.pageColour;
}

unsigned pageFramebuffer()
{
    return gPages.pageFramebuffer;
}

unsigned presentedFramebuffer()
{
    return gPages.presentedFramebuffer ? gPages.presentedFramebuffer : gPages.pageFramebuffer;
}

bool readPresentedPage(std::vector<uint8_t>* rgba, int* width, int* height)
{
    const GLuint presented = presentedFramebuffer();
    // A page drawn on screen leaves no copy of its own once swapped; snapshots keep pages off screen.
    if (!presented || !rgba) return false;
    const size_t rowBytes = static_cast<size_t>(gPages.width) * 4;
    rgba->resize(rowBytes * static_cast<size_t>(gPages.height));
    glBindFramebuffer(GL_FRAMEBUFFER, presented);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, gPages.width, gPages.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba->data());
    // GL reads bottom-up; the page's rows count from the top.
    for (int top = 0, bottom = gPages.height - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = rgba->data() + rowBytes * static_cast<size_t>(top);
        uint8_t* b = rgba->data() + rowBytes * static_cast<size_t>(bottom);
        std::swap_ranges(a, a + rowBytes, b);
    }
    glPopClientAttrib();
    glBindFramebuffer(GL_FRAMEBUFFER, gPages.pageFramebuffer);
    if (width) *width = gPages.width;
    if (height) *height = gPages.height;
    return true;
}

}  // namespace display
