#!/usr/bin/python3
# Prints the X server's own screen saver's state on $DISPLAY, as the
# MIT-SCREEN-SAVER extension reports it: "on" (it has come on), "off" (not
# yet, or held off by a program), or "disabled" (no timeout set).
import ctypes
import sys


class Info(ctypes.Structure):
    _fields_ = [("window", ctypes.c_ulong), ("state", ctypes.c_int), ("kind", ctypes.c_int),
                ("til_or_since", ctypes.c_ulong), ("idle", ctypes.c_ulong),
                ("eventMask", ctypes.c_ulong)]


x11 = ctypes.CDLL("libX11.so.6")
xss = ctypes.CDLL("libXss.so.1")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
xss.XScreenSaverQueryInfo.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(Info)]
display = x11.XOpenDisplay(None)
if not display:
    sys.exit("no display")
info = Info()
if not xss.XScreenSaverQueryInfo(display, x11.XDefaultRootWindow(display), ctypes.byref(info)):
    sys.exit("no MIT-SCREEN-SAVER extension")
print(["off", "on", "disabled"][info.state])
