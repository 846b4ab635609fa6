// Presses a window's close button as a window manager does: a WM_PROTOCOLS client message
// carrying WM_DELETE_WINDOW, sent to the window. The window itself is left alone: the
// program decides what to do. Exits 1 when the window does not take that message.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: close_window WINDOW_ID\n");
        return 2;
    }
    Display *d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "close_window: no display\n");
        return 1;
    }
    Window w = (Window)strtoul(argv[1], NULL, 0);
    Atom protocols = XInternAtom(d, "WM_PROTOCOLS", False);
    Atom delete_window = XInternAtom(d, "WM_DELETE_WINDOW", False);
    Atom *list = NULL;
    int count = 0, takes = 0;
    if (XGetWMProtocols(d, w, &list, &count))
        for (int i = 0; i < count; i++)
            takes |= list[i] == delete_window;
    if (list)
        XFree(list);
    if (!takes) {
        fprintf(stderr, "close_window: window %s does not take WM_DELETE_WINDOW\n", argv[1]);
        XCloseDisplay(d);
        return 1;
    }
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = protocols;
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)delete_window;
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
    XSync(d, False);
    XCloseDisplay(d);
    return 0;
}
