# The core: everything but the platform and the entry points. app/ holds the
# program's own entry point (app/main.cpp) beside its shell, so its sources
# are listed; the other folders hold nothing else and are taken whole. The
# core leaves the platform's functions to the executable's link, so the same
# core serves every backend.
set(VEXARION_APP_SOURCES
  app/attract.cpp
  app/content_folder.cpp
  app/controls.cpp
  app/desktop_session.cpp
  app/display_dialog.cpp
  app/frame_pacing.cpp
  app/main_loop.cpp
  app/options.cpp
  app/output_file.cpp
  app/render.cpp
  app/saver_session.cpp
  app/scene_reset.cpp
  app/screenshot.cpp
  app/settings.cpp)
file(GLOB VEXARION_LAYER_SOURCES CONFIGURE_DEPENDS
  model/*.cpp scene/*.cpp effects/*.cpp sound/*.cpp replay/*.cpp)
add_library(vexarion_core STATIC ${VEXARION_APP_SOURCES} ${VEXARION_LAYER_SOURCES})
target_include_directories(vexarion_core PUBLIC ${CMAKE_SOURCE_DIR})
set_property(SOURCE app/options.cpp APPEND PROPERTY COMPILE_DEFINITIONS VEXARION_VERSION="${PROJECT_VERSION}")

# An executable of the core on this build's platform: `name` from `sources`.
function(vexarion_executable name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE vexarion_core vexarion_platform vexarion_platform_gl)
endfunction()
