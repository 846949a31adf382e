# The Windows backend: Win32 windows, dialog and input, WGL, DirectSound, and
# the system's OpenGL 1.1 and GLU (cross-built with MinGW-w64).
set(backend_sources
  platform/win32/audio_dsound.cpp
  platform/win32/clock.cpp
  platform/win32/dialog.cpp
  platform/win32/display.cpp
  platform/win32/folders.cpp
  platform/win32/fullscreen.cpp
  platform/win32/glcontext.cpp
  platform/win32/input.cpp
  platform/win32/notice.cpp
  platform/win32/pacing.cpp
  platform/win32/pads.cpp
  platform/win32/paths.cpp
  platform/win32/saver_dialog.cpp
  platform/win32/saver_window.cpp
  platform/win32/window.cpp
  platform/win32/window_place.cpp)
set(backend_libraries gdi32 comctl32 dsound dxguid winmm shell32 ole32 uuid imm32)
set(backend_gl_libraries opengl32 glu32 gdi32)
