// Presses a window's close button as a window manager does: a WM_PROTOCOLS client message
// carrying WM_DELETE_WINDOW, sent to the window, which is left alone otherwise. Exits 1
// when there is no display or the window does not take that message.
#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    Display *d = argc == 2 ? XOpenDisplay(nullptr) : nullptr;
    Window w = argc == 2 ? (Window)strtoul(argv[1], nullptr, 0) : 0;
    Atom delete_window = d ? XInternAtom(d, "WM_DELETE_WINDOW", False) : 0, *list = nullptr;
    int count = 0, takes = 0;
    if (d && XGetWMProtocols(d, w, &list, &count))
        for (int i = 0; i < count; i++)
            takes |= list[i] == delete_window;
    if (!takes) {
        fprintf(stderr, "usage: close_window WINDOW_ID, on a display, of a window that takes WM_DELETE_WINDOW\n");
        return 1;
    }
    XFree(list);
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)delete_window;
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    XCloseDisplay(d);  // flushes the event
    return 0;
}
