// The display-mode dialog, the main window and its window procedure.
#include "app/display_dialog.h"

#include <cstdio>

#include "app/controls.h"
#include "platform/window.h"

MainWindow mainWindow;

void buildModeList(bool (*enumMode)(int n, DisplayMode* mode), ModeList* list)
{
    list->modes.clear();
    list->texts.clear();
    list->defaultIndex = 0;
    DisplayMode mode;
    for (int n = 0; enumMode(n, &mode); n++) {
        if (mode.bitsPerPixel <= 8)
            continue;
        char text[64];
        std::snprintf(text, sizeof text, "%dx%d, %dbit", mode.width, mode.height, mode.bitsPerPixel);
        if (mode.width == 640 && mode.height == 480 && mode.bitsPerPixel == 16)
            list->defaultIndex = static_cast<int>(list->modes.size());
        list->modes.push_back(mode);
        list->texts.push_back(text);
    }
}

void preferMode(ModeList* list, const DisplayMode& mode)
{
    for (size_t i = 0; i < list->modes.size(); i++) {
        const DisplayMode& m = list->modes[i];
        if (m.width == mode.width && m.height == mode.height && m.bitsPerPixel == mode.bitsPerPixel) {
            list->defaultIndex = static_cast<int>(i);
            return;
        }
    }
}

bool runDisplayModeDialog(const DisplayMode* preferred, DisplayMode* started)
{
    ModeList list;
    buildModeList(displayEnumMode, &list);
    if (preferred)
        preferMode(&list, *preferred);
    std::vector<const char*> entries;
    for (const std::string& text : list.texts)
        entries.push_back(text.c_str());

    int selected = list.defaultIndex;
    if (!dialogRun(entries.data(), static_cast<int>(entries.size()), &selected))
        return false;

    DisplayMode chosen;
    if (started)
        *started = DisplayMode{0, 0, 0};
    if (selected >= 0 && selected < static_cast<int>(list.modes.size())) {
        chosen = list.modes[selected];
        displayChangeMode(chosen);
        if (started)
            *started = chosen;
    } else {
        // No mode could be listed: there is no record to switch with, so the
        // program runs in the desktop's own mode.
        if (!displayDesktopMode(&chosen))
            chosen = DisplayMode{640, 480, 24};
    }
    mainWindow.screenWidth = static_cast<uint32_t>(chosen.width);
    mainWindow.screenHeight = static_cast<uint32_t>(chosen.height);
    mainWindow.screenBits = static_cast<uint32_t>(chosen.bitsPerPixel);
    return true;
}

bool createMainWindow(const char* title, uint32_t width, uint32_t height, bool fullscreen)
{
    return windowCreateMain(title, static_cast<int>(width), static_cast<int>(height),
                            static_cast<int>(mainWindow.screenBits ? mainWindow.screenBits : 24),
                            fullscreen ? WINDOW_FULLSCREEN : 0);
}

bool createDesktopWindow(const char* title, uint32_t width, uint32_t height)
{
    DisplayMode desktop;
    mainWindow.screenBits = displayDesktopMode(&desktop) ? static_cast<uint32_t>(desktop.bitsPerPixel) : 24;
    mainWindow.screenWidth = width;
    mainWindow.screenHeight = height;
    return windowCreateMain(title, static_cast<int>(width), static_cast<int>(height),
                            static_cast<int>(mainWindow.screenBits), WINDOW_DECORATED);
}

void mainWindowProc(const Message& message)
{
    switch (message.type) {
    case MESSAGE_CHAR: characterCommand(message.code); break;
    case MESSAGE_CLOSE: inputPostQuit(0); break;
    case MESSAGE_SCREENSHOT: mainWindow.screenshotRequested = true; break;
    case MESSAGE_FULLSCREEN: windowSetFullscreen(!windowIsFullscreen()); break;
    default: break;
    }
}
