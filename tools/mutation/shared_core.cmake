# Injected with -DCMAKE_PROJECT_INCLUDE by tools/mutate.py: builds the core
# and platform libraries SHARED, so that a mutant recompiles one object and
# relinks one library while the test executables and the replay program,
# which only load it, are left alone.
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
set(CMAKE_LINK_DEPENDS_NO_SHARED ON)
macro(add_library name)
  if("${name}" STREQUAL "vexarion_core" OR "${name}" STREQUAL "vexarion_platform")
    set(_mutation_args ${ARGN})
    list(REMOVE_ITEM _mutation_args STATIC)
    _add_library(${name} SHARED ${_mutation_args})
  else()
    _add_library(${name} ${ARGN})
  endif()
endmacro()
# The desktop session in the core calls programIconPixels(), which only the
# program itself links in; executables that never start a session leave it
# unresolved, as their static build drops the unused object.
string(APPEND CMAKE_EXE_LINKER_FLAGS " -Wl,--unresolved-symbols=ignore-in-shared-libs")
