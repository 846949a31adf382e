# The null backend: no window, no OpenGL, no sound, no dialog. Its OpenGL is
# a set of entry points that do nothing, so nothing of the system's is linked.
set(backend_sources
  platform/null/audio.cpp
  platform/null/clock.cpp
  platform/null/display.cpp
  platform/null/folders.cpp
  platform/null/glcontext.cpp
  platform/null/input.cpp
  platform/null/notice.cpp
  platform/null/pacing.cpp
  platform/null/window.cpp
  platform/shared/narrow_paths.cpp)
set(backend_gl_sources platform/null/gl.cpp)
