// display/win32/backend_table.cpp -- Windows has one back end: the window on the desktop, always there.
#include "display/backend.h"

namespace display {

const BackendTable& systemBackends()
{
    static const Backend kAll[] = {makeWin32Backend()};
    static const BackendTable kTable = {kAll, 1, &kAll[0], [] { return true; }};
    return kTable;
}

}  // namespace display
