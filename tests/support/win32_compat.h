// tests/support/win32_compat.h -- the few POSIX calls the shared tests make, on the C run-time of
// Windows; forced into every test program of the Windows build, so the tests' sources stay as they are.
#pragma once

#ifdef _WIN32
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <direct.h>
#include <io.h>

inline int setenv(const char* name, const char* value, int overwrite)
{
    if (!overwrite && getenv(name)) return 0;
    int result = _putenv_s(name, value);
    if (strcmp(name, "TZ") == 0) _tzset();
    return result;
}

inline int unsetenv(const char* name)
{
    int result = _putenv_s(name, "");
    if (strcmp(name, "TZ") == 0) _tzset();
    return result;
}

// Replaces the template's trailing XXXXXX and makes that folder.
inline char* mkdtemp(char* pattern)
{
    if (_mktemp_s(pattern, strlen(pattern) + 1) != 0) return nullptr;
    return _mkdir(pattern) == 0 ? pattern : nullptr;
}
#endif
