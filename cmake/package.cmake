# The installed program and its Debian package (Linux only; Windows ships as a
# zip, tools/build-windows.sh). `cmake --install` lays out bin/ and
# share/vexarion/ with the content, the desktop entry, the AppStream metadata,
# the icon and the XScreenSaver hack; `cpack -G DEB` packs the same tree.
# The program finds its content in ../share/vexarion beside its own folder.
install(TARGETS vexarion vexarion-replay RUNTIME DESTINATION bin)
install(CODE "
  file(GLOB vexarion_content LIST_DIRECTORIES false
       \"${VEXARION_RUN_DIR}/*.KMO\" \"${VEXARION_RUN_DIR}/*.BMP\" \"${VEXARION_RUN_DIR}/*.bmp\"
       \"${VEXARION_RUN_DIR}/*.WAV\" \"${VEXARION_RUN_DIR}/*.raw\" \"${VEXARION_RUN_DIR}/README.TXT\")
  file(INSTALL \${vexarion_content} DESTINATION \"\${CMAKE_INSTALL_PREFIX}/share/vexarion\")")
install(FILES ${CMAKE_SOURCE_DIR}/resources/org.vexarion.vexarion.desktop DESTINATION share/applications)
# Software centres list the program from its AppStream metadata, named by
# the same id as the desktop entry.
configure_file(${CMAKE_SOURCE_DIR}/resources/org.vexarion.vexarion.metainfo.xml.in org.vexarion.vexarion.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/org.vexarion.vexarion.metainfo.xml DESTINATION share/metainfo)
install(FILES ${VEXARION_RUN_DIR}/vexarion.png DESTINATION share/icons/hicolor/256x256/apps)
# The screen saver for XScreenSaver (and xfce4-screensaver, which runs the
# same hacks): its settings page, and the hack where they look for hacks,
# the program itself (it finds its content from bin/, where the link leads).
install(FILES ${CMAKE_SOURCE_DIR}/resources/vexarion.xml DESTINATION share/xscreensaver/config)
install(CODE "
  set(hacks \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/libexec/xscreensaver\")
  file(MAKE_DIRECTORY \"\${hacks}\")
  file(CREATE_LINK ../../bin/vexarion \"\${hacks}/vexarion\" SYMBOLIC)")

set(CPACK_PACKAGE_NAME vexarion)
set(CPACK_PACKAGE_VENDOR "Vexarion developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "island scene where you turn the four elements against a man")
set(CPACK_PACKAGE_DESCRIPTION "A man lives in a small room on an island by the sea and goes about his day \
on his own. From the keyboard you turn earth, water, fire and air against him: sink the land, raise the sea, \
strike him with lightning, bring a tornado down on him. Real-time 3D with OpenGL.")
set(CPACK_PACKAGE_CONTACT "Vexarion developers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# dpkg-shlibdeps reads the libraries the executables link and writes the
# runtime dependencies (SDL2, OpenAL, GL, GLU, stb, the C++ runtime).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL opens libGL at run time for its OpenGL context, and the sound opens
# OpenAL at run time, so no linked library names them; libgl1 brings the GLX
# vendor library and Mesa's drivers.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libopenal1")
set(CPACK_GENERATOR DEB)
include(CPack)
