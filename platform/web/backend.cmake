# The browser backend: Emscripten's html5 API for the canvas, input and the
# frame callbacks, Emscripten's OpenAL over Web Audio for sound, and an
# OpenGL 1.1 layer of its own over WebGL 2 (gl_*.cpp), which is its OpenGL.
set(backend_sources
  platform/web/batch_cache.cpp
  platform/web/clock.cpp
  platform/web/cull.cpp
  platform/web/display.cpp
  platform/web/folders.cpp
  platform/web/frames.cpp
  platform/web/gl_frame.cpp
  platform/web/gl_immediate.cpp
  platform/web/gl_light.cpp
  platform/web/gl_lists.cpp
  platform/web/gl_matrix.cpp
  platform/web/gl_shaders.cpp
  platform/web/gl_texture.cpp
  platform/web/glcontext.cpp
  platform/web/glyphs.cpp
  platform/web/input.cpp
  platform/web/mipmaps.cpp
  platform/web/notice.cpp
  platform/web/pads.cpp
  platform/web/pacing.cpp
  platform/web/touch.cpp
  platform/web/visibility.cpp
  platform/web/window.cpp
  platform/shared/narrow_paths.cpp
  platform/shared/openal_audio.cpp)
