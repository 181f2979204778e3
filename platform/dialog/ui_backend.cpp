// platform/dialog/ui_backend.cpp -- the empty realisation every realisation starts from: one stub per slot.
#include "platform/dialog/ui_backend.h"

#include "platform/dialog/message_box.h"

namespace platform {
namespace {

int answerOk(Window*, const char*, const char*, unsigned) { return kIdOk; }
bool modelOnly(Window*) { return true; }   // the model alone: nothing to draw, nothing lost
void noWindow(Window*) {}
void noControl(Window*, Control*) {}
intptr_t noModal(Window*) { return -1; }
int noMessageLoop(IdleStep) { return 0; }
bool recordCanvas(Canvas*) { return true; }
void noRectangle(Canvas*, int, int, int, int, Rgb, Rgb) {}
void noText(Canvas*, int, int, const char*) {}
void noCopy(Canvas*, int, int, int, int) {}
void noCanvas(Canvas*) {}

}  // namespace

UiBackend emptyUiBackend(const char* name)
{
    UiBackend backend;
    backend.name = name;
    backend.messageBox = answerOk;
    backend.createWindow = modelOnly;
    backend.showWindow = noWindow;
    backend.destroyWindow = noWindow;
    backend.syncControl = noControl;
    backend.syncTitle = noWindow;
    backend.moveFocus = noControl;
    backend.runModal = noModal;
    backend.runMessageLoop = noMessageLoop;
    backend.createCanvas = recordCanvas;
    backend.canvasRectangle = noRectangle;
    backend.canvasText = noText;
    backend.copyCanvas = noCopy;
    backend.destroyCanvas = noCanvas;
    backend.controlPixels = nominalControlPixels;
    return backend;
}

}  // namespace platform
