#!/usr/bin/python3
# Prints "hidden" when the X pointer's cursor shows no pixel (a program hid
# it over its window), else "shown": the image XFixes reports for the cursor
# now on the screen of $DISPLAY.
import ctypes
import sys


class CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong),
                ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


x11 = ctypes.CDLL("libX11.so.6")
xfixes = ctypes.CDLL("libXfixes.so.3")
x11.XOpenDisplay.restype = ctypes.c_void_p
xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(CursorImage)
display = x11.XOpenDisplay(None)
if not display:
    sys.exit("no display")
image = xfixes.XFixesGetCursorImage(display)
if not image:
    sys.exit("no cursor image")
cursor = image.contents
# Pixels are ARGB in unsigned longs; a hidden cursor has no opaque one.
opaque = any(cursor.pixels[i] >> 24 for i in range(cursor.width * cursor.height))
print("shown" if opaque else "hidden")
