/* The yardstick for Vexarion's start-up (tools/bench.sh): an empty SDL +
 * OpenGL program that opens a window with a context like the program's,
 * clears it once, shows it and quits. Whatever the program takes beyond
 * this is its own start-up. */
#include <GL/gl.h>
#include <SDL.h>

int main(int argc, char** argv)
{
    int width = 640, height = 480;
    (void)argc;
    (void)argv;
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return 1;
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("baseline", 0, 0, width, height, SDL_WINDOW_OPENGL);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : NULL;
    if (!context)
        return 1;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapWindow(window);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
