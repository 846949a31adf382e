# The desktop programs, each a thin entry point over the core:
#   vexarion              the program (app/main.cpp)
#   vexarion-replay       the same frames driven by a script (programs/replay.cpp)
#   vexarion-bench        what a frame costs here, for tools/bench.sh (programs/bench.cpp)
#   vexarion-scr          on Windows, vexarion.scr, the screen saver (programs/saver.cpp)
#   vexarion-replay-null  on Linux, the replay on the null backend beside the
#                         drawing one: no X server, no OpenGL, no sound device,
#                         the same trace; the scene stories run on it
set(VEXARION_RUN_DIR ${CMAKE_BINARY_DIR})
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${VEXARION_RUN_DIR})

vexarion_executable(vexarion app/main.cpp)
if(VEXARION_WINDOWS)
  target_link_options(vexarion PRIVATE -mwindows)  # a window program: no console of its own
endif()
vexarion_executable(vexarion-replay programs/replay.cpp)
if(VEXARION_WINDOWS)
  vexarion_executable(vexarion-scr programs/saver.cpp)
  set_target_properties(vexarion-scr PROPERTIES OUTPUT_NAME vexarion SUFFIX .scr)
  target_link_options(vexarion-scr PRIVATE -mwindows)
endif()
if(NOT VEXARION_PLATFORM STREQUAL "null")
  vexarion_executable(vexarion-bench programs/bench.cpp)
endif()

if(VEXARION_PLATFORM STREQUAL "sdl")
  vexarion_platform_library(vexarion_platform_null null)
  add_executable(vexarion-replay-null programs/replay.cpp)
  target_link_libraries(vexarion-replay-null PRIVATE vexarion_core vexarion_platform_null vexarion_platform_null_gl)
endif()
