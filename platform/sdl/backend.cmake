# The Linux backend: SDL2 for windows, input and the clock, Dear ImGui for
# the dialog, OpenAL Soft for sound, OpenGL and GLU through the system's libGL,
# and Xlib for the screen saver.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(OPENAL REQUIRED IMPORTED_TARGET openal)
pkg_check_modules(IMGUI REQUIRED IMPORTED_TARGET imgui)
find_package(OpenGL REQUIRED COMPONENTS OpenGL)
find_library(GLU_LIBRARY GLU REQUIRED)
# The screen saver finds the root window with Xlib; the X server's own saver
# is let come again with the MIT-SCREEN-SAVER extension (Xss).
find_package(X11 REQUIRED)
if(NOT TARGET X11::Xss)
  message(FATAL_ERROR "the X screen saver extension's library (libxss-dev) is missing")
endif()

set(backend_sources
  platform/sdl/clock.cpp
  platform/sdl/dialog_imgui.cpp
  platform/sdl/display.cpp
  platform/sdl/folders.cpp
  platform/sdl/font_imgui.cpp
  platform/sdl/glcontext.cpp
  platform/sdl/input.cpp
  platform/sdl/notice.cpp
  platform/sdl/pacing.cpp
  platform/sdl/pads.cpp
  platform/sdl/saver_window.cpp
  platform/sdl/window.cpp
  platform/shared/narrow_paths.cpp
  platform/shared/openal_audio.cpp)
# OpenAL is loaded at run time (platform/shared/openal_audio.cpp): only its headers here.
add_library(vexarion_openal_headers INTERFACE)
target_include_directories(vexarion_openal_headers INTERFACE ${OPENAL_INCLUDE_DIRS})
set(backend_libraries PkgConfig::SDL2 vexarion_openal_headers PkgConfig::IMGUI X11::X11 X11::Xss ${CMAKE_DL_LIBS})
set(backend_gl_libraries OpenGL::GL ${GLU_LIBRARY})
