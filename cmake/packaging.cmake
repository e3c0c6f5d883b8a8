# Installing and packaging the game. Two layouts, chosen by the install prefix:
#   /usr (a distribution's package): Debian's layout for games, the executable in
#        /usr/games and the art in /usr/share/games/zephrandolinth/bin/;
#   any other prefix (/usr/local, ~/.local, ...): P/bin/zephrandolinth and
#        P/share/zephrandolinth/bin/, so the game is on the user's PATH.
# At start-up the game finds its art from its own location (app/artDirectory.h), so an
# installation also works when moved, or put elsewhere with cmake --install --prefix.
#   cmake --install build --prefix ~/.local
#   cmake -S . -B build-deb -DCMAKE_INSTALL_PREFIX=/usr -DZEPH_MAINTAINER="Name <address>" \
#       -DZEPH_TESTS=OFF -DZEPH_TOOLS=OFF && cmake --build build-deb && (cd build-deb && cpack -G DEB)
include(GNUInstallDirs)

set(ZEPH_MAINTAINER "Placeholder Maintainer - set ZEPH_MAINTAINER <placeholder@localhost>"
    CACHE STRING "Name <address> of the package's maintainer, for its control file and changelog")
set(ZEPH_HOMEPAGE "https://zephrandolinth.invalid/"
    CACHE STRING "The game's home page, named by its software-centre listing")
set(ZEPH_SCREENSHOT_URL "https://zephrandolinth.invalid/screenshot.png"
    CACHE STRING "Where software centres fetch the game's screenshot (docs/screenshot.png)")
set(ZEPH_APPSTREAM_ID io.github.zephrandolinth.zephrandolinth)

string(REGEX REPLACE "(.)/+$" "\\1" ZEPH_PREFIX "${CMAKE_INSTALL_PREFIX}")
# The install directories as install() takes them: relative to the prefix (so that cmake
# --install --prefix moves them), or absolute when the builder gave an absolute directory; and
# the full paths they make with this build's prefix.
if(ZEPH_PREFIX STREQUAL "/usr")
    set(ZEPH_INSTALL_BINDIR games)
    set(ZEPH_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/games/zephrandolinth)
    set(ZEPH_FULL_BINDIR ${ZEPH_PREFIX}/games)
    set(ZEPH_FULL_DATADIR ${CMAKE_INSTALL_FULL_DATADIR}/games/zephrandolinth)
else()
    set(ZEPH_INSTALL_BINDIR ${CMAKE_INSTALL_BINDIR})
    set(ZEPH_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/zephrandolinth)
    set(ZEPH_FULL_BINDIR ${CMAKE_INSTALL_FULL_BINDIR})
    set(ZEPH_FULL_DATADIR ${CMAKE_INSTALL_FULL_DATADIR}/zephrandolinth)
endif()
# GNUInstallDirs joins the prefix and a directory with a slash: a prefix ending in one doubles it.
foreach(directory ZEPH_FULL_BINDIR ZEPH_FULL_DATADIR)
    string(REGEX REPLACE "//+" "/" ${directory} "${${directory}}")
endforeach()
# Where the game looks for its art (app/artDirectory.h): relative to its executable, then where
# this build installs it.
file(RELATIVE_PATH ZEPH_DATA_FROM_BINARY ${ZEPH_FULL_BINDIR} ${ZEPH_FULL_DATADIR})
set(ZEPH_BUILT_DATA_DIR ${ZEPH_FULL_DATADIR})
set_property(SOURCE ${CMAKE_SOURCE_DIR}/app/artDirectory.cpp APPEND PROPERTY COMPILE_DEFINITIONS
    ZEPH_DATA_FROM_BINARY="${ZEPH_DATA_FROM_BINARY}" ZEPH_INSTALLED_DATA_DIR="${ZEPH_BUILT_DATA_DIR}")

# The changelog is compressed as Debian wants it: gzip -9, and no name or time stamp inside, so
# the same sources make the same bytes. So is the manual page, when installing.
set(ZEPH_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
# The page's FILES name the installed places, known only with the prefix given when installing
# (cmake --install --prefix, cpack): they stay placeholders until then.
foreach(placeholder ZEPH_GAME_PATH ZEPH_DATA_DIR ZEPH_SHARE_DIR)
    set(${placeholder} @${placeholder}@)
endforeach()
configure_file(packaging/zephrandolinth.6.in ${ZEPH_PACKAGING_DIR}/zephrandolinth.6.in @ONLY)
configure_file(packaging/changelog.in ${ZEPH_PACKAGING_DIR}/changelog @ONLY)
configure_file(packaging/zephrandolinth.metainfo.xml.in
    ${ZEPH_PACKAGING_DIR}/${ZEPH_APPSTREAM_ID}.metainfo.xml @ONLY)
add_custom_command(OUTPUT ${ZEPH_PACKAGING_DIR}/changelog.gz
    COMMAND gzip -9 -n -k -f changelog
    DEPENDS ${ZEPH_PACKAGING_DIR}/changelog
    WORKING_DIRECTORY ${ZEPH_PACKAGING_DIR}
    VERBATIM)
add_custom_target(zephdocs ALL DEPENDS ${ZEPH_PACKAGING_DIR}/changelog.gz)

install(TARGETS zephrandolinth RUNTIME DESTINATION ${ZEPH_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_BINARY_DIR}/bin/models ${CMAKE_BINARY_DIR}/bin/texture
    DESTINATION ${ZEPH_INSTALL_DATADIR}/bin)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/zephrandolinth.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ZEPH_PACKAGING_DIR}/${ZEPH_APPSTREAM_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icon/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(CODE "
    set(ZEPH_PAGE_TEMPLATE [[${ZEPH_PACKAGING_DIR}/zephrandolinth.6.in]])
    set(ZEPH_PAGE_BINDIR [[${ZEPH_INSTALL_BINDIR}]])
    set(ZEPH_PAGE_DATADIR [[${ZEPH_INSTALL_DATADIR}]])
    set(ZEPH_PAGE_SHAREDIR [[${CMAKE_INSTALL_DATADIR}]])
    set(ZEPH_PAGE_MANDIR [[${CMAKE_INSTALL_MANDIR}]])
    include([[${CMAKE_SOURCE_DIR}/cmake/installManualPage.cmake]])")
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${ZEPH_PACKAGING_DIR}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zephrandolinth)

set(CPACK_PACKAGE_NAME zephrandolinth)
set(CPACK_PACKAGE_VENDOR "Zephrandolinth developers")
set(CPACK_PACKAGE_CONTACT "${ZEPH_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small real-time 3D space game on OpenGL and freeglut")
set(CPACK_PACKAGE_DESCRIPTION "Fly a cockpit through a textured sky box among tumbling
asteroids and two closing ships, and shoot them with rockets and lasers.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The package installs exactly where this build says its art is (the game's last resort).
set(CPACK_PACKAGING_INSTALL_PREFIX ${ZEPH_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZEPH_HOMEPAGE}")
# The runtime libraries come from the executable's own links (dpkg-shlibdeps, from dpkg-dev);
# Mesa's drivers are named too, since libGL only finds them at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri")
# Checked when cpack runs: a Debian package from a build for another prefix.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/cpackChecks.cmake)
include(CPack)
