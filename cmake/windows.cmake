# The game as a Windows program, and its two packages:
#   zephrandolinth-0.1-win64.zip  the game's folder, to unpack and play anywhere;
#   zephrandolinth-0.1-win64.exe  an installer (NSIS): licence, install folder, Start Menu
#                                 shortcut, an uninstaller in the installed programs.
# Both hold the same folder: zephrandolinth.exe beside its art (bin\models, bin\texture), where
# the game finds it from its own location, with README.txt and LICENSE.txt.
#   cmake --build build-windows && (cd build-windows && cpack)
# scripts/windows.sh does this on Debian; a Windows toolchain (MSVC, MSYS2) builds the same way.

# A GUI program: started from Explorer or the Start Menu no console window opens. Its standard
# output still goes wherever the one who starts it redirects it.
set_target_properties(zephrandolinth PROPERTIES WIN32_EXECUTABLE ON)
if(MSVC)
    # The game's entry is main, not WinMain; the manifest is the game's own (below).
    target_link_options(zephrandolinth PRIVATE /ENTRY:mainCRTStartup /MANIFEST:NO)
endif()

# The icon comes with the art (the generator draws it), so the resources wait for it.
enable_language(RC)
set(ZEPH_ICO ${CMAKE_BINARY_DIR}/icon/zephrandolinth.ico)
set(ZEPH_MANIFEST ${CMAKE_SOURCE_DIR}/app/zephrandolinth.manifest)
configure_file(app/zephrandolinth.rc.in ${CMAKE_BINARY_DIR}/zephrandolinth.rc @ONLY)
target_sources(zephrandolinth PRIVATE ${CMAKE_BINARY_DIR}/zephrandolinth.rc)
set_property(SOURCE ${CMAKE_BINARY_DIR}/zephrandolinth.rc APPEND PROPERTY OBJECT_DEPENDS
    ${ZEPH_ICO} ${ZEPH_MANIFEST})
add_dependencies(zephrandolinth zephart)

# Windows' own line ends in the texts a player opens with Notepad.
configure_file(README.md ${CMAKE_BINARY_DIR}/packaging/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(LICENSE ${CMAKE_BINARY_DIR}/packaging/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)

install(TARGETS zephrandolinth RUNTIME DESTINATION .)
install(DIRECTORY ${CMAKE_BINARY_DIR}/bin/models ${CMAKE_BINARY_DIR}/bin/texture DESTINATION bin)
install(FILES ${CMAKE_BINARY_DIR}/packaging/README.txt ${CMAKE_BINARY_DIR}/packaging/LICENSE.txt
    DESTINATION .)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_VERBATIM_VARIABLES ON) # the NSIS lines below hold backslashes and dollars as written
set(CPACK_PACKAGE_NAME zephrandolinth)
set(CPACK_PACKAGE_VENDOR "Zephrandolinth developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Zephrandolinth, a small real-time 3D space game")
set(CPACK_PACKAGE_FILE_NAME zephrandolinth-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Zephrandolinth)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Zephrandolinth)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_BINARY_DIR}/packaging/LICENSE.txt)
set(CPACK_STRIP_FILES ON)

set(CPACK_NSIS_PACKAGE_NAME "Zephrandolinth ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Zephrandolinth ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${ZEPH_ICO})
set(CPACK_NSIS_MUI_UNIICON ${ZEPH_ICO})
set(CPACK_NSIS_INSTALLED_ICON_NAME zephrandolinth.exe)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
# A second install, over the first or elsewhere, first runs the earlier uninstaller (silently
# when the new installer is silent), so no file of the earlier one is left behind.
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The shortcut's "start in" folder is the output path when it is made: the game's own folder,
# where it finds its art.
set(CPACK_NSIS_CREATE_ICONS_EXTRA [[
  SetOutPath "$INSTDIR"
  CreateShortCut "$SMPROGRAMS\$STARTMENU_FOLDER\Zephrandolinth.lnk" "$INSTDIR\zephrandolinth.exe" "" "$INSTDIR\zephrandolinth.exe" 0
]])
set(CPACK_NSIS_DELETE_ICONS_EXTRA [[
  Delete "$SMPROGRAMS\$MUI_TEMP\Zephrandolinth.lnk"
]])
include(CPack)
