# The browser build (CMAKE_SYSTEM_NAME Emscripten, through tools/build-web.sh):
# the program as WebAssembly on the page's canvas, with WebGL 2 under its own
# OpenGL 1.1 layer (platform/web/gl_*.cpp), Web Audio under Emscripten's
# OpenAL, and the content packed into vexarion.data.
#
#   vexarion-web  vexarion.js, vexarion.wasm and vexarion.data, for index.html
#   content       the content files, made by the build machine's generator
#                 (VEXARION_NATIVE_CONTENT) into content/
#
# Emscripten's ports (its SDL among them) would be downloaded: none is used.

# stb's image writer, for the screenshot code, from the build machine.
file(COPY /usr/include/stb/stb_image_write.h DESTINATION ${CMAKE_BINARY_DIR}/stb-include/stb)
include_directories(SYSTEM ${CMAKE_BINARY_DIR}/stb-include)

# -O2: the optimiser's last steps at -O3 cost build time and gain nothing measurable here.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG")

set(VEXARION_PLATFORM web)
file(GLOB WEB_SOURCES CONFIGURE_DEPENDS platform/*.cpp platform/web/*.cpp)
# The SDL backend's OpenAL sound serves the browser as it is.
add_library(vexarion_platform STATIC ${WEB_SOURCES} platform/sdl/audio_openal.cpp platform/narrow/paths.cpp)
target_include_directories(vexarion_platform PUBLIC ${CMAKE_SOURCE_DIR})

file(GLOB WEB_CORE_SOURCES CONFIGURE_DEPENDS app/*.cpp model/*.cpp scene/*.cpp effects/*.cpp sound/*.cpp)
list(FILTER WEB_CORE_SOURCES EXCLUDE REGEX "/app/(main|replay_main|bench_main|web_main)\\.cpp$")
add_library(vexarion_core STATIC ${WEB_CORE_SOURCES})
target_include_directories(vexarion_core PUBLIC ${CMAKE_SOURCE_DIR})
set_property(SOURCE app/command_line.cpp APPEND PROPERTY COMPILE_DEFINITIONS VEXARION_VERSION="${PROJECT_VERSION}")

set(VEXARION_NATIVE_CONTENT "" CACHE FILEPATH "The build machine's vexarion-content, to make the content files")
set(WEB_CONTENT ${CMAKE_BINARY_DIR}/content)
add_custom_command(
  OUTPUT ${WEB_CONTENT}/content.stamp
  COMMAND ${CMAKE_COMMAND} -E make_directory ${WEB_CONTENT}
  COMMAND ${VEXARION_NATIVE_CONTENT} ${WEB_CONTENT}
  COMMAND ${CMAKE_COMMAND} -E touch ${WEB_CONTENT}/content.stamp
  DEPENDS ${VEXARION_NATIVE_CONTENT}
  COMMENT "Generating content files into ${WEB_CONTENT}")
add_custom_target(content DEPENDS ${WEB_CONTENT}/content.stamp)

add_executable(vexarion-web app/web_main.cpp)
set_target_properties(vexarion-web PROPERTIES OUTPUT_NAME vexarion SUFFIX .js
                      LINK_DEPENDS ${WEB_CONTENT}/content.stamp)
add_dependencies(vexarion-web content)
target_link_libraries(vexarion-web PRIVATE vexarion_core vexarion_platform)
target_link_options(vexarion-web PRIVATE
  -sENVIRONMENT=web -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2 -sALLOW_MEMORY_GROWTH=1
  -sINVOKE_RUN=0 "-sEXPORTED_RUNTIME_METHODS=[callMain,FS]" -lopenal
  "SHELL:--preload-file ${WEB_CONTENT}@/" "SHELL:--exclude-file *.stamp" "SHELL:--exclude-file *README.TXT")
