/* bench/peer/frame_counter.c -- preloaded into the peer hack: counts its presented frames (eglSwapBuffers)
 * and, over a fixed window after a warm-up, the CPU time of the whole process (every thread, so llvmpipe's
 * rasteriser threads too) and of the X server that receives the frames. Writes one line and ends the hack.
 *
 *   PEER_WARMUP_S   seconds of frames before the window opens (default 2)
 *   PEER_WINDOW_S   seconds the window stays open (default 10)
 *   PEER_XSERVER_PID  the X server whose CPU time is read at both ends of the window (optional)
 *   PEER_REPORT     file for the line "frames F wall_s W user_s U sys_s S xserver_s X" (default stderr)
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

typedef unsigned int EGLBoolean;
typedef void* EGLDisplay;
typedef void* EGLSurface;
typedef EGLBoolean (*SwapFunction)(EGLDisplay, EGLSurface);

static double now_s(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

static double seconds_of(struct timeval t) { return (double)t.tv_sec + (double)t.tv_usec * 1e-6; }

static double env_seconds(const char* name, double fallback)
{
    const char* text = getenv(name);
    return text && *text ? atof(text) : fallback;
}

/* utime + stime of another process, in seconds; -1 when it cannot be read. */
static double process_cpu_s(const char* pid)
{
    if (!pid || !*pid) return -1;
    char path[64];
    snprintf(path, sizeof path, "/proc/%s/stat", pid);
    FILE* file = fopen(path, "r");
    if (!file) return -1;
    unsigned long user = 0, system = 0;
    int fields = fscanf(file, "%*d %*s %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user, &system);
    fclose(file);
    return fields == 2 ? (double)(user + system) / (double)sysconf(_SC_CLK_TCK) : -1;
}

static struct {
    SwapFunction real;
    double started, opened;
    long frames;
    struct rusage usage;
    double xserver;
} counter;

EGLBoolean eglSwapBuffers(EGLDisplay display, EGLSurface surface)
{
    if (!counter.real) counter.real = (SwapFunction)dlsym(RTLD_NEXT, "eglSwapBuffers");
    EGLBoolean result = counter.real(display, surface);
    double now = now_s();
    if (counter.started == 0) counter.started = now;
    if (counter.opened == 0) {
        if (now - counter.started < env_seconds("PEER_WARMUP_S", 2)) return result;
        counter.opened = now;
        getrusage(RUSAGE_SELF, &counter.usage);
        counter.xserver = process_cpu_s(getenv("PEER_XSERVER_PID"));
        return result;
    }
    ++counter.frames;
    if (now - counter.opened < env_seconds("PEER_WINDOW_S", 10)) return result;

    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    double xserver = process_cpu_s(getenv("PEER_XSERVER_PID"));
    const char* report = getenv("PEER_REPORT");
    FILE* out = report && *report ? fopen(report, "w") : NULL;
    fprintf(out ? out : stderr, "frames %ld wall_s %.3f user_s %.3f sys_s %.3f xserver_s %.3f\n", counter.frames,
            now - counter.opened, seconds_of(usage.ru_utime) - seconds_of(counter.usage.ru_utime),
            seconds_of(usage.ru_stime) - seconds_of(counter.usage.ru_stime),
            xserver >= 0 && counter.xserver >= 0 ? xserver - counter.xserver : -1.0);
    if (out) fclose(out);
    _exit(0);
}
