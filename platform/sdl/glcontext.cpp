// The main window's OpenGL context on SDL2.
#include <string>

#include "platform/glcontext.h"
#include "platform/notice.h"
#include "platform/sdl/state.h"

bool glContextCreate()
{
    if (!platformSdl.mainWindow || platformSdl.glContext)
        return false;
    SDL_GLContext context = SDL_GL_CreateContext(platformSdl.mainWindow);
    if (!context) {
        noticeShow(NOTICE_ERROR, std::string("Vexarion: cannot create the OpenGL context: ") + SDL_GetError() + "\n");
        return false;
    }
    platformSdl.glContext = context;
    SDL_GL_MakeCurrent(platformSdl.mainWindow, context);
    // The frame loop renders as fast as the machine allows: no waiting for
    // the vertical retrace in the buffer swap.
    SDL_GL_SetSwapInterval(0);
    return true;
}

void glContextSwapBuffers()
{
    if (platformSdl.mainWindow)
        SDL_GL_SwapWindow(platformSdl.mainWindow);
}

void glContextRelease()
{
    if (!platformSdl.glContext)
        return;
    SDL_GL_MakeCurrent(platformSdl.mainWindow, nullptr);
    SDL_GL_DeleteContext(platformSdl.glContext);
    platformSdl.glContext = nullptr;
}
