// saver/clock_draw.cpp -- the clock's geometry and materials, drawn in a fixed order every frame.
#include "saver/clock_draw.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "config/settings.h"
#include "saver/movement.h"
#include "saver/scene_setup.h"
#include "resources/control_ids.h"

namespace {

constexpr int kRenderWireframe = resources::config_ids::kWireframeId;   // the checked "Wireframe" button
constexpr double kSphereRadius = 0.5;     // scene units, hub and marker spheres
constexpr int kSphereSlices = 16;
constexpr int kSphereStacks = 16;
constexpr float kCubeHalfEdge = 0.3f;     // scene units; the cube's edge is 0.6
constexpr float kMarkerRadius = 4.6f;     // scene units, centre to marker
constexpr float kHourStepDeg = 30.0f;
constexpr float kHourHandHalfWidth = 0.3f;
constexpr float kMinuteHandHalfWidth = 0.15f;
constexpr float kRidgeHeight = 0.1f;      // the solid hands' ridge, off the dial plane
constexpr float kNumeralRadius = 2.95f;
constexpr float kNumeralShiftX = -0.3f;
constexpr float kTwoDigitShiftX = -0.4f;
constexpr float kNumeralScale = 0.04f;
constexpr float kLabelScale = 0.025f;

const GLfloat kFrontAmbient[4] = {0.08f, 0.08f, 0.08f, 1.0f};
const GLfloat kNoEmission[4] = {0.0f, 0.0f, 0.0f, 1.0f};
const char* const kNumerals[kMarkerCount] = {"12", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"};

// Corners k = 0..7: x is - for 0..3; y is - for 0, 1, 4, 5; z is - for 0, 3, 4, 7.
const GLfloat kCubeCorners[8][3] = {
    {-kCubeHalfEdge, -kCubeHalfEdge, -kCubeHalfEdge}, {-kCubeHalfEdge, -kCubeHalfEdge, kCubeHalfEdge},
    {-kCubeHalfEdge, kCubeHalfEdge, kCubeHalfEdge},   {-kCubeHalfEdge, kCubeHalfEdge, -kCubeHalfEdge},
    {kCubeHalfEdge, -kCubeHalfEdge, -kCubeHalfEdge},  {kCubeHalfEdge, -kCubeHalfEdge, kCubeHalfEdge},
    {kCubeHalfEdge, kCubeHalfEdge, kCubeHalfEdge},    {kCubeHalfEdge, kCubeHalfEdge, -kCubeHalfEdge},
};
const GLfloat kCubeNormals[6][3] = {{-1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
const int kCubeFaces[6][4] = {{0, 1, 2, 3}, {3, 2, 6, 7}, {7, 6, 5, 4}, {4, 5, 1, 0}, {5, 6, 2, 1}, {7, 4, 0, 3}};

enum Rendering { kWire = 0, kSolid = 1 };

GLUquadric* quadric = nullptr;      // kept for the immediate-mode fallback
GLuint sphereLists[2] = {0, 0};     // per rendering; 0 when no list could be made
GLuint cubeLists[2] = {0, 0};

void sendSphere(Rendering rendering)
{
    if (!quadric) return;
    gluQuadricDrawStyle(quadric, rendering == kWire ? GLU_LINE : GLU_FILL);
    gluSphere(quadric, kSphereRadius, kSphereSlices, kSphereStacks);
}

void sendCube(Rendering rendering)
{
    for (int f = 0; f < 6; ++f) {
        glBegin(rendering == kWire ? GL_LINE_LOOP : GL_QUADS);
        glNormal3fv(kCubeNormals[f]);
        for (int corner : kCubeFaces[f]) glVertex3fv(kCubeCorners[corner]);
        glEnd();
    }
}

GLuint compileList(void (*send)(Rendering), Rendering rendering)
{
    GLuint list = glGenLists(1);
    if (list == 0) return 0;
    glNewList(list, GL_COMPILE);
    send(rendering);
    glEndList();
    return list;
}

void drawShape(const GLuint* lists, void (*send)(Rendering), Rendering rendering)
{
    if (lists[rendering] != 0)
        glCallList(lists[rendering]);
    else
        send(rendering);
}

void drawSphere(Rendering rendering) { drawShape(sphereLists, sendSphere, rendering); }
void drawCube(Rendering rendering) { drawShape(cubeLists, sendCube, rendering); }

// Spheres at the even hours and cubes at the odd ones when both shapes are chosen.
void drawMarkerShape(int i, Rendering rendering)
{
    bool spheres = Settings.showSpheres == 1;
    bool cubes = Settings.showCubes == 1;
    if (spheres && !cubes) drawSphere(rendering);
    if (cubes && !spheres) drawCube(rendering);
    if (spheres && cubes) (i % 2 == 0) ? drawSphere(rendering) : drawCube(rendering);
}

void drawHub(const ClockScene& scene, Rendering rendering)
{
    glPushMatrix();
    glMaterialfv(GL_FRONT, GL_DIFFUSE, scene.partColors[kPartHub]);
    drawSphere(rendering);
    glPopMatrix();
}

void drawMarkers(const ClockScene& scene, Rendering rendering)
{
    for (int i = 0; i < kMarkerCount; ++i) {
        glPushMatrix();
        glMaterialfv(GL_FRONT, GL_DIFFUSE, scene.markerColors[i]);
        glRotatef(i * kHourStepDeg, 0, 0, 1);
        glTranslatef(0, kMarkerRadius, 0);
        // The axis stays unnormalised; OpenGL normalises it.
        if (Settings.rotationEnabled == 1) glRotatef(scene.markerSpin, 1, 1, 1);
        drawMarkerShape(i, rendering);
        glPopMatrix();
    }
}

// The hands glow in their own colour whatever the light.
void setGlow(const float* color)
{
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, color);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, color);
}

// One side of the solid hand: four triangles meeting at the ridge point off the dial plane.
void sendRidgedSide(float length, float halfWidth, float shoulder, float ridge)
{
    const GLfloat centre[3] = {0, 0, 0};
    const GLfloat left[3] = {-halfWidth, shoulder, 0};
    const GLfloat tip[3] = {0, length, 0};
    const GLfloat right[3] = {halfWidth, shoulder, 0};
    const GLfloat top[3] = {0, shoulder, ridge};
    const GLfloat* const triangles[4][3] = {{centre, top, left}, {left, top, tip}, {centre, right, top}, {right, tip, top}};
    for (const auto& triangle : triangles)
        for (const GLfloat* vertex : triangle) glVertex3fv(vertex);
}

// A flat kite in wireframe; solid, a double-sided kite with a ridge on either side of the dial.
void sendHandShape(float length, float halfWidth, float shoulder, Rendering rendering)
{
    if (rendering == kWire) {
        glBegin(GL_LINE_LOOP);
        glVertex3f(0, 0, 0);
        glVertex3f(-halfWidth, shoulder, 0);
        glVertex3f(0, length, 0);
        glVertex3f(halfWidth, shoulder, 0);
        glEnd();
        return;
    }
    glBegin(GL_TRIANGLES);
    sendRidgedSide(length, halfWidth, shoulder, kRidgeHeight);
    sendRidgedSide(length, halfWidth, shoulder, -kRidgeHeight);
    glEnd();
}

void drawHand(const float* color, float angle, float length, float halfWidth, float shoulder, Rendering rendering)
{
    glPushMatrix();
    setGlow(color);
    glRotatef(angle, 0, 0, 1);
    sendHandShape(length, halfWidth, shoulder, rendering);
    glPopMatrix();
}

void drawSecondHand(const ClockScene& scene)
{
    glPushMatrix();
    setGlow(scene.partColors[kPartSecondHand]);
    glRotatef(scene.secondAngle, 0, 0, 1);
    glBegin(GL_LINES);
    glVertex3f(0, 0, 0);
    glVertex3f(0, scene.secondLength, 0);
    glEnd();
    glPopMatrix();
}

void drawText(const char* text, Rendering rendering)
{
    if (rendering == kWire) {
        if (outlineFont) outlineFont->draw(text);
    } else {
        if (filledFont) filledFont->draw(text);
    }
}

// Below the centre, on the viewer's side of the dial, turned to read from there.
void drawAmPm(const ClockScene& scene, Rendering rendering)
{
    glPushMatrix();
    glRotatef(180, 0, 1, 0);
    glTranslatef(-0.5f, -0.3f, 1.0f);
    glScalef(kLabelScale, kLabelScale, 1.0f);
    glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, scene.markerColors[0]);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, scene.markerColors[0]);
    drawText(scene.isPM == 1 ? "PM" : "AM", rendering);
    glPopMatrix();
}

// Each numeral stands inside its marker with its foot towards the centre; the two-digit ones shift
// further left so that both digits stay centred on the radius.
void drawNumerals(const ClockScene& scene, Rendering rendering)
{
    for (int i = 0; i < kMarkerCount; ++i) {
        glPushMatrix();
        glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, scene.markerColors[i]);
        glMaterialfv(GL_FRONT, GL_EMISSION, scene.markerColors[i]);
        glRotatef(i * kHourStepDeg, 0, 0, 1);
        glRotatef(180, 0, 1, 0);
        glTranslatef(kNumeralShiftX, kNumeralRadius, 0);
        if (i == 0 || i == 10 || i == 11) glTranslatef(kTwoDigitShiftX, 0, 0);
        glScalef(kNumeralScale, kNumeralScale, 1.0f);
        drawText(kNumerals[i], rendering);
        glPopMatrix();
    }
}

}  // namespace

// The sphere and the cube are sent once per rendering into display lists at scene set-up, rather than
// with every marker of every frame: the same vertices, a fraction of the calls per pass.
void buildClockGeometry()
{
    if (!quadric) quadric = gluNewQuadric();
    if (quadric) gluQuadricNormals(quadric, GLU_SMOOTH);
    for (Rendering rendering : {kWire, kSolid}) {
        if (quadric && sphereLists[rendering] == 0) sphereLists[rendering] = compileList(sendSphere, rendering);
        if (cubeLists[rendering] == 0) cubeLists[rendering] = compileList(sendCube, rendering);
    }
}

void drawClock(const ClockScene& scene)
{
    placeClock(scene);
    glMaterialfv(GL_FRONT, GL_AMBIENT, kFrontAmbient);
    Rendering rendering = Settings.renderMode == kRenderWireframe ? kWire : kSolid;
    drawHub(scene, rendering);
    drawMarkers(scene, rendering);
    drawHand(scene.partColors[kPartHourHand], scene.hourAngle, scene.hourLength, kHourHandHalfWidth,
             scene.hourLength * 2.0f / 3.0f, rendering);
    drawHand(scene.partColors[kPartMinuteHand], scene.minuteAngle, scene.minuteLength, kMinuteHandHalfWidth,
             scene.minuteLength * 0.5f, rendering);
    drawSecondHand(scene);
    if (Settings.showAmPm == 1) drawAmPm(scene, rendering);
    if (Settings.showNumbers == 1) drawNumerals(scene, rendering);
    glMaterialfv(GL_FRONT, GL_EMISSION, kNoEmission);
}
