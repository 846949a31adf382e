# The browser's program (CMAKE_SYSTEM_NAME Emscripten, through
# tools/build-web.sh): the core and the web backend, defined by the top-level
# modules like any build's, as WebAssembly on the page's canvas, with the
# content packed into vexarion.data.
#
#   vexarion-web  vexarion.js, vexarion.wasm and vexarion.data, for index.html
#   content       the content files, made by the build machine's generator
#                 (VEXARION_NATIVE_CONTENT) into content/
#
# Emscripten's ports (its SDL among them) would be downloaded: none is used.

# -O2: the optimiser's last steps at -O3 cost build time and gain nothing measurable here.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG")

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

vexarion_executable(vexarion-web programs/web.cpp)
set_target_properties(vexarion-web PROPERTIES OUTPUT_NAME vexarion SUFFIX .js
                      LINK_DEPENDS ${WEB_CONTENT}/content.stamp)
add_dependencies(vexarion-web content)
target_link_options(vexarion-web PRIVATE
  -sENVIRONMENT=web -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2 -sALLOW_MEMORY_GROWTH=1
  -sINVOKE_RUN=0 "-sEXPORTED_RUNTIME_METHODS=[callMain,FS,ccall]" -lopenal
  "SHELL:--preload-file ${WEB_CONTENT}@/" "SHELL:--exclude-file *.stamp" "SHELL:--exclude-file *README.TXT")
