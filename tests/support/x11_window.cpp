// Closing X windows politely and checking their decoration; see x11_window.h.
#include "tests/support/x11_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "tests/support/png_read.h"

bool x11RequestClose(unsigned long window)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    Status ok = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return ok != 0;
}

bool x11IsUndecorated(unsigned long window)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    bool undecorated = false;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) && attributes.override_redirect)
        undecorated = true;

    Atom hintsAtom = XInternAtom(display, "_MOTIF_WM_HINTS", True);
    if (hintsAtom != None) {
        Atom type;
        int format;
        unsigned long items, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, hintsAtom, 0, 5, False, AnyPropertyType, &type, &format, &items, &after,
                               &data) == Success &&
            data && items >= 3) {
            const long* hints = reinterpret_cast<const long*>(data);
            // flags bit 1: the decorations field is valid; decorations 0: none.
            if ((hints[0] & 2) && hints[2] == 0)
                undecorated = true;
        }
        if (data)
            XFree(data);
    }
    XCloseDisplay(display);
    return undecorated;
}

bool x11PrepareWindowManagerAtoms()
{
    // The connection stays open for the rest of the test process: an X server
    // started without -noreset resets (forgetting its atoms) when its last
    // client leaves.
    static Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    bool ok = XInternAtom(display, "_MOTIF_WM_HINTS", False) != None;
    XSync(display, False);
    return ok;
}

namespace {

// Where a colour channel sits in a pixel, from its mask.
int maskShift(unsigned long mask)
{
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        shift++;
    }
    return shift;
}

}  // namespace

bool x11CaptureScreen(Picture* picture)
{
    static Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, root, &attributes))
        return false;
    XImage* image = XGetImage(display, root, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return false;
    const int r = maskShift(image->red_mask), g = maskShift(image->green_mask), b = maskShift(image->blue_mask);
    picture->width = attributes.width;
    picture->height = attributes.height;
    picture->rgb.resize(static_cast<size_t>(attributes.width) * static_cast<size_t>(attributes.height) * 3);
    unsigned char* out = picture->rgb.data();
    for (int y = 0; y < attributes.height; y++)
        for (int x = 0; x < attributes.width; x++) {
            unsigned long pixel = XGetPixel(image, x, y);
            *out++ = static_cast<unsigned char>(pixel >> r);
            *out++ = static_cast<unsigned char>(pixel >> g);
            *out++ = static_cast<unsigned char>(pixel >> b);
        }
    XDestroyImage(image);
    return true;
}
