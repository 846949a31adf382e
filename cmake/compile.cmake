# How everything is compiled: the language level, the warnings, the
# floating-point rules, and the sanitizer and fuzzing builds' instrumentation.
#
#   VEXARION_WERROR    warnings are errors (the test command's builds)
#   VEXARION_SANITIZE  AddressSanitizer and UndefinedBehaviorSanitizer
#   VEXARION_FUZZ      libFuzzer's coverage on all code, for fuzz/ (clang only)
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()

option(VEXARION_WERROR "Treat compiler warnings as errors" OFF)
option(VEXARION_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VEXARION_FUZZ "Instrument everything for the fuzzing harnesses (clang)" OFF)

add_compile_options(-Wall -Wextra -Wshadow -Wformat=2)
# A trace is compared byte for byte between systems: no compiler may fuse
# a*b+c into one rounding (ARM64 has the instruction), and none is given
# -ffast-math (scene/trig.cpp refuses it). This holds for every build,
# the page's (Emscripten) and Windows' (MinGW) among them.
add_compile_options(-ffp-contract=off)
if(VEXARION_WERROR)
  add_compile_options(-Werror)
endif()
if(VEXARION_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
if(VEXARION_FUZZ)
  set(VEXARION_FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(-fsanitize=fuzzer-no-link ${VEXARION_FUZZ_SANITIZERS})
  add_link_options(${VEXARION_FUZZ_SANITIZERS})
endif()

# stb's single-file image writer and reader: found where the system keeps
# them, or where VEXARION_STB_INCLUDE says (a cross build's system is not
# the build machine's), and copied beside the build so that a cross build
# takes no other header of the build machine.
find_path(VEXARION_STB_INCLUDE stb/stb_image_write.h DOC "The folder that holds stb/stb_image_write.h")
if(NOT VEXARION_STB_INCLUDE)
  message(FATAL_ERROR "stb's headers not found: set VEXARION_STB_INCLUDE to the folder holding stb/")
endif()
file(COPY ${VEXARION_STB_INCLUDE}/stb/stb_image_write.h ${VEXARION_STB_INCLUDE}/stb/stb_image.h
     DESTINATION ${CMAKE_BINARY_DIR}/stb-include/stb)
include_directories(SYSTEM ${CMAKE_BINARY_DIR}/stb-include)
