// The main window on SDL2: full screen and back, its place, its drawable
// size, whether it is seen and focused, and the program's icon.
//
// Full screen from a window is SDL's "desktop" full screen: a borderless
// window over the whole display at the desktop's own size, with no mode
// change. Going back gives the window the size and place it had before;
// a window that started full screen (in the dialog's mode) gets the place
// the program set for it, and leaving that real mode gives the desktop its
// mode back. An ordinary window is decorated and resizable. The system's
// screen saver stays off only while the window is full screen and in front.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/notice.h"
#include "platform/sdl/state.h"
#include "platform/window.h"

namespace {

WindowPlace windowedPlace;  // where the window goes when it leaves full screen
std::vector<uint8_t> iconPixels;
int iconWidth = 0;
int iconHeight = 0;

// A window of this place shows at least a corner of itself, big enough to
// take hold of, on one of the displays.
bool onAScreen(const WindowPlace& place)
{
    const SDL_Rect window = {place.x, place.y, place.width, place.height};
    for (int d = 0; d < SDL_GetNumVideoDisplays(); d++) {
        SDL_Rect bounds, common;
        if (SDL_GetDisplayBounds(d, &bounds) == 0 && SDL_IntersectRect(&bounds, &window, &common) && common.w >= 64 &&
            common.h >= 64)
            return true;
    }
    return false;
}

// The frame's size around the client area, as SDL knows it now (0 without
// a window manager, or before it has said).
void frameBorders(SDL_Window* window, int* top, int* left)
{
    if (SDL_GetWindowBordersSize(window, top, left, nullptr, nullptr) != 0)
        *top = *left = 0;
}

WindowPlace currentPlace(SDL_Window* window)
{
    WindowPlace place;
    int top = 0, left = 0;
    frameBorders(window, &top, &left);
    SDL_GetWindowPosition(window, &place.x, &place.y);
    place.x -= left;
    place.y -= top;
    SDL_GetWindowSize(window, &place.width, &place.height);
    place.placed = true;
    return place;
}

}  // namespace

void sdlGiveIcon(SDL_Window* window)
{
    if (iconPixels.empty() || !window)
        return;
    // Bytes R, G, B, A in memory, whatever the machine's byte order.
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(iconPixels.data(), iconWidth, iconHeight, 32, iconWidth * 4,
                                                           SDL_PIXELFORMAT_RGBA32);
    if (!icon)
        return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

bool sdlWindowedPlace(int* x, int* y)
{
    if (!windowedPlace.placed)
        return false;
    *x = windowedPlace.x;
    *y = windowedPlace.y;
    return true;
}

void windowSetWindowedPlace(const WindowPlace& place)
{
    windowedPlace = place;
    if (place.placed && platformSdl.initialised && !onAScreen(place))
        windowedPlace.placed = false;
}

WindowPlace windowWindowedPlace()
{
    SDL_Window* window = platformSdl.mainWindow;
    return window && !windowIsFullscreen() ? currentPlace(window) : windowedPlace;
}

bool windowIsFullscreen()
{
    SDL_Window* window = platformSdl.mainWindow;
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
}

void windowSetFullscreen(bool fullscreen)
{
    SDL_Window* window = platformSdl.mainWindow;
    if (!window || fullscreen == windowIsFullscreen())
        return;
    if (fullscreen) {
        windowedPlace = currentPlace(window);
        // The window manager makes the window cover its display; without
        // one nobody would, so the window covers it itself first.
        SDL_Rect display;
        if (SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(window), 0), &display) == 0) {
            SDL_SetWindowBordered(window, SDL_FALSE);
            SDL_SetWindowPosition(window, display.x, display.y);
            SDL_SetWindowSize(window, display.w, display.h);
        }
        if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0)
            noticeShow(NOTICE_WARNING, std::string("Vexarion: cannot go full screen: ") + SDL_GetError() + "\n");
        return;
    }
    // Leaving the dialog's mode gives the desktop its own back.
    SDL_SetWindowFullscreen(window, 0);
    platformSdl.fullscreen = false;
    SDL_SetWindowBordered(window, SDL_TRUE);
    SDL_SetWindowResizable(window, SDL_TRUE);
    if (windowedPlace.width > 0 && windowedPlace.height > 0)
        SDL_SetWindowSize(window, windowedPlace.width, windowedPlace.height);
    // SDL moves the client area by the borders it knows (none yet, after
    // full screen): the frame lands where it was, as a new window's does.
    int top = 0, left = 0;
    frameBorders(window, &top, &left);
    if (windowedPlace.placed)
        SDL_SetWindowPosition(window, windowedPlace.x + left, windowedPlace.y + top);
    else
        SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void windowDrawableSize(int* width, int* height)
{
    *width = 0;
    *height = 0;
    if (platformSdl.mainWindow)
        SDL_GL_GetDrawableSize(platformSdl.mainWindow, width, height);
}

bool windowIsShown()
{
    SDL_Window* window = platformSdl.mainWindow;
    return window && (SDL_GetWindowFlags(window) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED)) == 0;
}

bool windowHasFocus()
{
    SDL_Window* window = platformSdl.mainWindow;
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void sdlHoldScreenSaver()
{
    const bool hold = windowIsFullscreen() && windowHasFocus();
    if (hold == (SDL_IsScreenSaverEnabled() == SDL_TRUE)) {
        if (hold) {
            SDL_DisableScreenSaver();
        } else {
            SDL_EnableScreenSaver();
            sdlResumeXScreenSaver(platformSdl.mainWindow);
        }
    }
}

void windowSetIcon(const uint8_t* rgba, int width, int height)
{
    if (!rgba || width <= 0 || height <= 0) {
        iconPixels.clear();
        return;
    }
    iconPixels.assign(rgba, rgba + static_cast<size_t>(width) * height * 4);
    iconWidth = width;
    iconHeight = height;
    sdlGiveIcon(platformSdl.mainWindow);
}
