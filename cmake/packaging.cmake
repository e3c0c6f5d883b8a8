# Installing and packaging the game. The executable goes in <prefix>/bin and its generated art
# in <prefix>/share/zephrandolinth/bin/, laid out as the game reads it; at start-up the game
# finds that directory from its own location (app/artDirectory.h).
#   cmake --install build --prefix P        # P/bin/zephrandolinth, P/share/...
#   (cd build && cpack -G DEB)              # zephrandolinth_0.1_<arch>.deb
include(GNUInstallDirs)

set(ZEPH_DATA_SUBDIR ${CMAKE_INSTALL_DATADIR}/zephrandolinth)
set_property(SOURCE ${CMAKE_SOURCE_DIR}/app/artDirectory.cpp APPEND PROPERTY COMPILE_DEFINITIONS
    ZEPH_INSTALLED_DATA_DIR="${CMAKE_INSTALL_FULL_DATADIR}/zephrandolinth")

install(TARGETS zephrandolinth RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_BINARY_DIR}/bin/models ${CMAKE_BINARY_DIR}/bin/texture
    DESTINATION ${ZEPH_DATA_SUBDIR}/bin)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/zephrandolinth.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/icon/zephrandolinth.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)

set(CPACK_PACKAGE_NAME zephrandolinth)
set(CPACK_PACKAGE_VENDOR "Zephrandolinth developers")
set(CPACK_PACKAGE_CONTACT "Zephrandolinth developers <zephrandolinth@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small real-time 3D space game on OpenGL and freeglut")
set(CPACK_PACKAGE_DESCRIPTION "Fly a cockpit through a textured sky box among tumbling
asteroids and two closing ships, and shoot them with rockets and lasers.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The runtime libraries come from the executable's own links (dpkg-shlibdeps, from dpkg-dev);
# Mesa's drivers are named too, since libGL only finds them at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri")
include(CPack)
