/* The least a program can spend to move a window: plain Xlib moving one 64 x 64 window
 * back and forth, a given number of times a second, for a given time. The benchmarks
 * measure the game's cost against this floor on the same X server.
 * usage: xlib_mover [seconds (10)] [moves per second (100)]
 * Prints "ready" once the window is mapped; exits 0 after the time, 1 without a display. */

#define _POSIX_C_SOURCE 200809L

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static void advance(struct timespec* t, long ns)
{
    t->tv_nsec += ns;
    while (t->tv_nsec >= 1000000000L) {
        t->tv_nsec -= 1000000000L;
        ++t->tv_sec;
    }
}

int main(int argc, char* argv[])
{
    const double seconds = argc > 1 ? atof(argv[1]) : 10;
    const int rate = argc > 2 ? atoi(argv[2]) : 100;
    if (seconds <= 0 || rate <= 0 || rate > 10000) {
        fprintf(stderr, "usage: xlib_mover [seconds > 0] [moves per second, 1 to 10000]\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "xlib_mover: cannot open the display\n");
        return 1;
    }
    const int size = 64;
    Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, size, size,
                                        0, 0, WhitePixel(display, DefaultScreen(display)));
    XStoreName(display, window, "xlib_mover");
    XSelectInput(display, window, StructureNotifyMask);
    XMapWindow(display, window);
    for (XEvent event;;) { /* placed and mapped before the clock starts */
        XNextEvent(display, &event);
        if (event.type == MapNotify)
            break;
    }
    XSelectInput(display, window, NoEventMask); /* the floor: no event comes back for a move */
    printf("ready\n");
    fflush(stdout);

    const long period = 1000000000L / rate;
    const long moves = (long)(seconds * rate);
    struct timespec due;
    clock_gettime(CLOCK_MONOTONIC, &due);
    for (long i = 0; i < moves; ++i) {
        advance(&due, period);
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, NULL);
        const int step = (int)(i % 400);
        const int x = 100 + (step < 200 ? step : 400 - step);
        XMoveWindow(display, window, x, 100);
        XFlush(display);
    }
    XCloseDisplay(display);
    return 0;
}
