# The content: the generator (tools/content/) fills the run folder with the
# models, bitmaps, height map, sounds and README.TXT; the menu icon is a
# frame of the scene rendered by the replay; the windows' icon is the same
# picture compiled into the program.
#   vexarion-content  the generator; the build runs it (a cross build runs
#                     the build machine's, VEXARION_NATIVE_CONTENT)
#   icon              build/vexarion.png, 256 pixels a side
#   program-icon      program_icon.cpp, the icon's pixels for the program, and
#                     vexarion.ico, the Windows executables' icon resource
if(VEXARION_WINDOWS)
  set(VEXARION_NATIVE_CONTENT "" CACHE FILEPATH "The build machine's vexarion-content, to fill the run folder")
  set(VEXARION_NATIVE_ICON "" CACHE FILEPATH "The build machine's program_icon.cpp, the windows' icon")
  if(VEXARION_NATIVE_CONTENT)
    add_custom_command(
      OUTPUT ${VEXARION_RUN_DIR}/content.stamp
      COMMAND ${VEXARION_NATIVE_CONTENT} ${VEXARION_RUN_DIR}
      COMMAND ${CMAKE_COMMAND} -E touch ${VEXARION_RUN_DIR}/content.stamp
      DEPENDS ${VEXARION_NATIVE_CONTENT}
      COMMENT "Generating content files into ${VEXARION_RUN_DIR}")
    add_custom_target(content ALL DEPENDS ${VEXARION_RUN_DIR}/content.stamp)
  endif()
else()
  file(GLOB CONTENT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/content/*.cpp)
  add_executable(vexarion-content ${CONTENT_SOURCES})
  target_include_directories(vexarion-content PRIVATE ${CMAKE_SOURCE_DIR})
  add_custom_command(
    OUTPUT ${VEXARION_RUN_DIR}/content.stamp
    COMMAND vexarion-content ${VEXARION_RUN_DIR}
    COMMAND ${CMAKE_COMMAND} -E touch ${VEXARION_RUN_DIR}/content.stamp
    DEPENDS vexarion-content
    COMMENT "Generating content files into ${VEXARION_RUN_DIR}")
  add_custom_target(content ALL DEPENDS ${VEXARION_RUN_DIR}/content.stamp)

  # The icon: the scene as the replay draws it, square. The replay needs no
  # screen (without a display SDL renders offscreen) and no sound card.
  if(VEXARION_PLATFORM STREQUAL "sdl")
    add_custom_command(
      OUTPUT ${VEXARION_RUN_DIR}/vexarion.png
      COMMAND ${CMAKE_COMMAND} -E env ALSOFT_DRIVERS=null ASAN_OPTIONS=detect_leaks=0
              $<TARGET_FILE:vexarion-replay> --size 256x256 --dt 0.05 --frames 93
              --script ${CMAKE_SOURCE_DIR}/resources/icon-scene.txt --shot 92=vexarion.png
      WORKING_DIRECTORY ${VEXARION_RUN_DIR}
      DEPENDS vexarion-replay ${VEXARION_RUN_DIR}/content.stamp ${CMAKE_SOURCE_DIR}/resources/icon-scene.txt
      COMMENT "Rendering the icon")
    # Sanitizer and fuzzing builds are for tests, never installed: they skip it.
    if(VEXARION_SANITIZE OR VEXARION_FUZZ)
      add_custom_target(icon DEPENDS ${VEXARION_RUN_DIR}/vexarion.png)
    else()
      add_custom_target(icon ALL DEPENDS ${VEXARION_RUN_DIR}/vexarion.png)
    endif()
  endif()
endif()

# The menu icon made small and compiled into the program, which gives it to
# its dialog and window. A Windows build takes the source its native build
# generated (VEXARION_NATIVE_ICON); a build without either has no icon.
set(PROGRAM_ICON_SOURCE ${CMAKE_BINARY_DIR}/program_icon.cpp)
if(VEXARION_PLATFORM STREQUAL "sdl" AND NOT VEXARION_WINDOWS)
  add_executable(vexarion-embed-icon ${CMAKE_SOURCE_DIR}/tools/icon/embed_icon.cpp)
  add_custom_command(
    OUTPUT ${PROGRAM_ICON_SOURCE} ${CMAKE_BINARY_DIR}/vexarion.ico
    COMMAND vexarion-embed-icon ${VEXARION_RUN_DIR}/vexarion.png ${PROGRAM_ICON_SOURCE} ${CMAKE_BINARY_DIR}/vexarion.ico
    DEPENDS vexarion-embed-icon ${VEXARION_RUN_DIR}/vexarion.png
    COMMENT "Embedding the icon")
  add_custom_target(program-icon DEPENDS ${PROGRAM_ICON_SOURCE})
elseif(VEXARION_WINDOWS AND VEXARION_NATIVE_ICON)
  set(PROGRAM_ICON_SOURCE ${VEXARION_NATIVE_ICON})
else()
  file(WRITE ${PROGRAM_ICON_SOURCE} "// No icon in this build.\n#include \"app/program_icon.h\"\n\n"
       "const unsigned char* programIconPixels(int* side)\n{\n    *side = 0;\n    return nullptr;\n}\n")
endif()
target_sources(vexarion PRIVATE ${PROGRAM_ICON_SOURCE})

# The Windows executables' resources: the icon (the native build's
# vexarion.ico, beside its program_icon.cpp) and the version information.
#   vexarion_windows_resources(TARGET FILE_NAME DESCRIPTION)
function(vexarion_windows_resources target file description)
  set(VEXARION_RC_ICON "")
  set(VEXARION_RC_ICON_FILE "")
  if(VEXARION_NATIVE_ICON)
    get_filename_component(native_build ${VEXARION_NATIVE_ICON} DIRECTORY)
    set(VEXARION_RC_ICON_FILE ${native_build}/vexarion.ico)
    set(VEXARION_RC_ICON "1 ICON \"${VEXARION_RC_ICON_FILE}\"")
  endif()
  set(VEXARION_RC_NAME ${target})
  set(VEXARION_RC_FILE ${file})
  set(VEXARION_RC_DESCRIPTION ${description})
  set(script ${CMAKE_BINARY_DIR}/${target}.rc)
  set(object ${CMAKE_BINARY_DIR}/${target}.res.o)
  configure_file(${CMAKE_SOURCE_DIR}/resources/windows.rc.in ${script} @ONLY)
  # windres on its own: the compilers' warning options are not its.
  add_custom_command(
    OUTPUT ${object}
    COMMAND ${CMAKE_RC_COMPILER} -O coff -i ${script} -o ${object}
    DEPENDS ${script} ${VEXARION_RC_ICON_FILE}
    COMMENT "Compiling the resources of ${file}")
  set_source_files_properties(${object} PROPERTIES EXTERNAL_OBJECT TRUE GENERATED TRUE)
  target_sources(${target} PRIVATE ${object})
endfunction()
if(VEXARION_WINDOWS)
  vexarion_windows_resources(vexarion vexarion.exe "Vexarion, an island and the four elements")
  vexarion_windows_resources(vexarion-replay vexarion-replay.exe "Vexarion's replay of a recorded session")
  vexarion_windows_resources(vexarion-scr vexarion.scr "Vexarion screen saver")
endif()
