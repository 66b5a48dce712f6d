/* Start-up probe: starts a command and reports the milliseconds until a
 * mapped top-level X window of the given name shows the given colour at the
 * given client point, that is until its first paint has reached the screen.
 * Then ends the command and waits until its window is gone.
 *   first_paint NAME X Y RRGGBB TIMEOUT_MS COMMAND [ARGS...]
 * Prints the time in ms on stdout; exits 1 on a timeout. */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static int ignore_x_error(Display *display, XErrorEvent *error) {
  (void)display;
  (void)error;
  return 0; /* a window may vanish between the query and the read */
}

static void pause_ms(long ms) {
  struct timespec t = {0, ms * 1000000L};
  nanosleep(&t, NULL);
}

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/* The mapped child of the root window with this name, or 0. */
static Window find_window(Display *display, const char *name) {
  Window root_return, parent, *children = NULL, found = 0;
  unsigned count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root_return, &parent, &children, &count))
    return 0;
  for (unsigned i = 0; i < count && !found; ++i) {
    char *window_name = NULL;
    if (XFetchName(display, children[i], &window_name) && window_name) {
      XWindowAttributes attributes;
      if (strcmp(window_name, name) == 0 &&
          XGetWindowAttributes(display, children[i], &attributes) &&
          attributes.map_state == IsViewable)
        found = children[i];
      XFree(window_name);
    }
  }
  if (children) XFree(children);
  return found;
}

static int pixel_matches(Display *display, Window window, int x, int y, unsigned long colour) {
  XImage *image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0;
  const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
  XDestroyImage(image);
  return pixel == colour;
}

int main(int argc, char **argv) {
  if (argc < 7) {
    fprintf(stderr, "usage: first_paint NAME X Y RRGGBB TIMEOUT_MS COMMAND [ARGS...]\n");
    return 2;
  }
  const char *name = argv[1];
  const int x = atoi(argv[2]), y = atoi(argv[3]);
  const unsigned long colour = strtoul(argv[4], NULL, 16);
  const double timeout = atof(argv[5]);
  Display *display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "first_paint: no X display\n");
    return 2;
  }
  XSetErrorHandler(ignore_x_error);

  const double start = now_ms();
  const pid_t child = fork();
  if (child == 0) {
    execvp(argv[6], argv + 6);
    _exit(127);
  }
  double elapsed = -1;
  while (now_ms() - start < timeout) {
    const Window window = find_window(display, name);
    if (window && pixel_matches(display, window, x, y, colour)) {
      elapsed = now_ms() - start;
      break;
    }
    pause_ms(2);
  }
  kill(child, SIGKILL);
  waitpid(child, NULL, 0);
  /* The next run must not find this run's window. */
  const double gone_by = now_ms() + 10000;
  while (find_window(display, name) && now_ms() < gone_by) pause_ms(2);
  XCloseDisplay(display);
  if (elapsed < 0) {
    fprintf(stderr, "first_paint: no painted '%s' window within %.0f ms\n", name, timeout);
    return 1;
  }
  printf("%.1f\n", elapsed);
  return 0;
}
