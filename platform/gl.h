// OpenGL 1.1 and GLU, included the way each platform needs them.
//
// Code outside platform/ draws with plain OpenGL 1.1 and GLU, but includes
// them only through this header: on Windows <windows.h> must come first,
// and the BGR pixel format of EXT_bgra is spelled out for headers that lack it.
#pragma once

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif
#include <GL/gl.h>
#include <GL/glu.h>

#ifndef GL_BGR_EXT
#define GL_BGR_EXT 0x80E0
#endif
