/* bench/peer/gl_floor.c -- the least memory and processor time any OpenGL program takes on this machine's
 * driver: a full-screen double-buffered window with a depth buffer, cleared and swapped at about 60 Hz
 * and nothing else, for a number of seconds. A saver cannot use less than this floor; the peer
 * comparison prints it beside both programs.
 *
 *   bench_gl_floor SECONDS          prints "cpu_s peak_kb"
 */
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <time.h>

static double now_s(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

int main(int argc, char** argv)
{
    double seconds = argc > 1 ? atof(argv[1]) : 10.0;
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "no X display\n");
        return 1;
    }
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 24, None};
    XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes);
    if (!visual) {
        fprintf(stderr, "no double-buffered visual with depth\n");
        return 1;
    }
    Window root = RootWindow(display, visual->screen);
    XSetWindowAttributes set = {0};
    set.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    int width = DisplayWidth(display, visual->screen), height = DisplayHeight(display, visual->screen);
    Window window = XCreateWindow(display, root, 0, 0, (unsigned)width, (unsigned)height, 0, visual->depth,
                                  InputOutput, visual->visual, CWColormap, &set);
    XMapWindow(display, window);
    GLXContext context = glXCreateContext(display, visual, NULL, True);
    glXMakeCurrent(display, window, context);

    const double frame_s = 1.0 / 60.0;
    double start = now_s(), next = start;
    while (now_s() - start < seconds) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glXSwapBuffers(display, window);
        next += frame_s;
        double wait = next - now_s();
        if (wait > 0) {
            struct timespec t = {(time_t)wait, (long)((wait - (double)(time_t)wait) * 1e9)};
            nanosleep(&t, NULL);
        }
    }
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    printf("%.2f %ld\n", (double)usage.ru_utime.tv_sec + usage.ru_utime.tv_usec * 1e-6 +
                             (double)usage.ru_stime.tv_sec + usage.ru_stime.tv_usec * 1e-6,
           usage.ru_maxrss);
    glXMakeCurrent(display, None, NULL);
    glXDestroyContext(display, context);
    XCloseDisplay(display);
    return 0;
}
