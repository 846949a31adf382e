# The tests (not on the null backend, which has nothing to test against: no
# OpenGL, no sound, no display).
#   test_vexarion  every test but the end-to-end ones, run case by case by CTest
#   test_e2e_*     one executable per end-to-end test file (label "slow")
#
# A Windows build runs the tests that need neither X11, nor the start of
# other processes, nor the source tree: the portable ones below. The Windows
# proof runs the programs themselves (tools/test-windows.sh).
set(VEXARION_PORTABLE_TESTS
  tests/test_app_shell.cpp
  tests/test_articulated.cpp
  tests/test_effects.cpp
  tests/test_kmo.cpp
  tests/test_mesh.cpp
  tests/test_platform.cpp
  tests/test_pose_program.cpp
  tests/test_random.cpp
  tests/test_render.cpp
  tests/test_settings.cpp
  tests/test_sound.cpp
  tests/test_texture.cpp
  tests/test_trig.cpp
  tests/test_wav.cpp)
set(VEXARION_PORTABLE_TEST_SUPPORT
  tests/support/gl_checks.cpp
  tests/support/gl_test_context.cpp
  tests/support/height_files.cpp
  tests/support/input_effects.cpp
  tests/support/model_files.cpp
  tests/support/png_read.cpp
  tests/support/wav_files.cpp)
# On the build machine, besides: the stories and the checks that run the
# programs or read the tree.
set(VEXARION_HOST_TESTS
  tests/test_attract_stories.cpp
  tests/test_bad_content.cpp
  tests/test_boundary.cpp
  tests/test_options.cpp
  tests/test_reduced_flash.cpp
  tests/test_scene_stories.cpp
  tests/test_soak.cpp
  tests/test_web_gl.cpp
  # The browser layer's mip-maps, checked against the desktop's GLU, and its kept batches.
  platform/web/batch_cache.cpp
  platform/web/cull.cpp
  platform/web/mipmaps.cpp)
set(VEXARION_HOST_TEST_SUPPORT
  tests/support/desktop.cpp
  tests/support/process.cpp
  tests/support/replay_run.cpp)
set(VEXARION_END_TO_END_TESTS test_e2e_desktop test_e2e_faults test_e2e_pads test_e2e_program test_e2e_saver)

enable_testing()
include(GoogleTest)
if(VEXARION_WINDOWS)
  # GoogleTest from its sources, built with the cross compiler.
  set(VEXARION_GTEST_SOURCE "" CACHE PATH "GoogleTest's sources (the folder holding googletest/), for a cross build")
  if(NOT EXISTS ${VEXARION_GTEST_SOURCE}/googletest/CMakeLists.txt)
    message(FATAL_ERROR "a cross build's tests need VEXARION_GTEST_SOURCE, GoogleTest's sources")
  endif()
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${VEXARION_GTEST_SOURCE}/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
  # And the Windows backend's own: the pads behind their seam.
  set(test_sources ${VEXARION_PORTABLE_TESTS} tests/test_win32_pads.cpp)
  set(test_support ${VEXARION_PORTABLE_TEST_SUPPORT})
  # For tools/test-windows.sh: the mode dropped behind a full-screen program's back.
  add_executable(drop-display-mode tests/support/drop_display_mode.c)
  # For tools/test-windows.sh: the window a screen saver's preview draws in.
  add_executable(preview-host tests/support/preview_host.c)
else()
  find_package(GTest REQUIRED)
  find_package(Threads REQUIRED)
  find_package(X11 REQUIRED)
  set(test_sources ${VEXARION_PORTABLE_TESTS} ${VEXARION_HOST_TESTS})
  set(test_support ${VEXARION_PORTABLE_TEST_SUPPORT} ${VEXARION_HOST_TEST_SUPPORT})
endif()

add_library(vexarion_test_support STATIC ${test_support})
target_link_libraries(vexarion_test_support PUBLIC vexarion_core vexarion_platform vexarion_platform_gl GTest::gtest)
if(NOT VEXARION_WINDOWS)
  target_link_libraries(vexarion_test_support PUBLIC Threads::Threads X11::X11)
endif()
target_compile_definitions(vexarion_test_support PUBLIC
  VEXARION_SOURCE_DIR="${CMAKE_SOURCE_DIR}" VEXARION_RUN_DIR="${VEXARION_RUN_DIR}")

# Every test but the end-to-end ones goes into one executable: one link step
# instead of one per file. CTest still runs each test case on its own.
add_executable(test_vexarion ${test_sources})
target_link_libraries(test_vexarion PRIVATE vexarion_test_support GTest::gtest_main)
if(NOT VEXARION_WINDOWS)
  # The tests' programs get a session bus address that names no bus. With
  # none named, D-Bus forks at every SDL start-up to look for dbus-launch, and
  # a child forked from the sanitizers' many-threaded start-up can hang before
  # its exec, the program with it (twice in 300 starts). An address of no bus
  # is no bus, as before, without the fork.
  set(test_environment "DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent")
  gtest_discover_tests(test_vexarion
    WORKING_DIRECTORY ${VEXARION_RUN_DIR}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 600 ENVIRONMENT ${test_environment})
  # End-to-end tests drive whole programs on the shared X display: they run
  # one at a time and carry the "slow" label. The sanitizer build leaves
  # them out: the plain build runs them.
  set(end_to_end ${VEXARION_END_TO_END_TESTS})
  if(VEXARION_SANITIZE)
    set(end_to_end "")
  endif()
  foreach(test_name ${end_to_end})
    add_executable(${test_name} tests/${test_name}.cpp)
    target_link_libraries(${test_name} PRIVATE vexarion_test_support GTest::gtest_main)
    if(test_name STREQUAL "test_e2e_pads")
      # It plugs SDL's virtual pads into the program's own SDL backend.
      target_link_libraries(${test_name} PRIVATE PkgConfig::SDL2)
    endif()
    gtest_discover_tests(${test_name}
      WORKING_DIRECTORY ${VEXARION_RUN_DIR}
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 60
      PROPERTIES TIMEOUT 900 RUN_SERIAL TRUE LABELS slow ENVIRONMENT ${test_environment})
  endforeach()
endif()
