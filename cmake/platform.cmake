# The platform layer: platform/ holds one small header per service, the
# code the backends share (platform/shared/), and one folder per backend. A
# build takes exactly one backend, VEXARION_PLATFORM:
#   sdl    Linux: SDL2, Dear ImGui, OpenAL Soft, OpenGL and GLU
#   win32  Windows: Win32, WGL and DirectSound (cross-built with MinGW-w64)
#   null   no window, no OpenGL, no sound: the replay runs the scene unseen
#   web    a browser page, built with Emscripten (platform/web/web.cmake)
#
# Each backend's folder has a backend.cmake that names its sources, the
# libraries they use and its OpenGL; vexarion_platform_library() makes the
# library of any of them.
set(VEXARION_PLATFORM "" CACHE STRING "The platform backend, a folder of platform/ (sdl, win32, null or web)")
if(NOT VEXARION_PLATFORM)
  if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    set(VEXARION_PLATFORM win32)
  elseif(CMAKE_SYSTEM_NAME STREQUAL "Emscripten")
    set(VEXARION_PLATFORM web)
  else()
    set(VEXARION_PLATFORM sdl)
  endif()
endif()
if(NOT EXISTS ${CMAKE_SOURCE_DIR}/platform/${VEXARION_PLATFORM}/backend.cmake)
  message(FATAL_ERROR "VEXARION_PLATFORM: no backend platform/${VEXARION_PLATFORM}/backend.cmake")
endif()
message(STATUS "Vexarion platform backend: ${VEXARION_PLATFORM}")

# What every backend takes: the input queue, the key letters, the game
# pad's mapping and the gain of a volume.
set(VEXARION_PLATFORM_SHARED
  platform/shared/audio_gain.cpp
  platform/shared/input_queue.cpp
  platform/shared/key_letters.cpp
  platform/shared/pad_map.cpp)

# Makes `name`, the static library of `backend`'s platform code, and
# `name`_gl, the OpenGL the programs that draw with it link.
function(vexarion_platform_library name backend)
  set(backend_sources "")
  set(backend_libraries "")
  set(backend_gl_sources "")
  set(backend_gl_libraries "")
  include(${CMAKE_SOURCE_DIR}/platform/${backend}/backend.cmake)
  set(shared ${VEXARION_PLATFORM_SHARED})
  list(TRANSFORM shared PREPEND ${CMAKE_SOURCE_DIR}/)
  list(TRANSFORM backend_sources PREPEND ${CMAKE_SOURCE_DIR}/)
  list(TRANSFORM backend_gl_sources PREPEND ${CMAKE_SOURCE_DIR}/)
  add_library(${name} STATIC ${shared} ${backend_sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${backend_libraries})
  if(backend_gl_sources)
    add_library(${name}_gl STATIC ${backend_gl_sources})
    target_include_directories(${name}_gl PUBLIC ${CMAKE_SOURCE_DIR})
  else()
    add_library(${name}_gl INTERFACE)
    target_link_libraries(${name}_gl INTERFACE ${backend_gl_libraries})
  endif()
endfunction()

vexarion_platform_library(vexarion_platform ${VEXARION_PLATFORM})
