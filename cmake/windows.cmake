# The game as a Windows program, and its two packages:
#   zephrandolinth-0.1-win64.zip  the game's folder, to unpack and play anywhere;
#   zephrandolinth-0.1-win64.exe  an installer (NSIS): licence, install folder, Start Menu
#                                 shortcut, an uninstaller in the installed programs.
# Both hold the same folder: zephrandolinth.exe beside its art (bin\models, bin\texture), where
# the game finds it from its own location, with README.txt and LICENSE.txt.
#   cmake --build build-windows && (cd build-windows && cpack)
# scripts/windows.sh does this on Debian; a Windows toolchain (MSVC, MSYS2) should build the
# same way, though none is tried here.

# A GUI program: started from Explorer or the Start Menu no console window opens. Its standard
# output still goes wherever the one who starts it redirects it.
set_target_properties(zephrandolinth PROPERTIES WIN32_EXECUTABLE ON)
if(MSVC)
    # The game's entry is main, not WinMain; the manifest is the game's own, in its resources.
    target_link_options(zephrandolinth PRIVATE /ENTRY:mainCRTStartup /MANIFEST:NO)
endif()

# The icon comes with the art (the generator draws it), so the resources wait for it.
enable_language(RC)
set(ZEPH_ICO ${CMAKE_BINARY_DIR}/icon/zephrandolinth.ico)
set(ZEPH_MANIFEST ${CMAKE_SOURCE_DIR}/sys/windows/zephrandolinth.manifest)
configure_file(sys/windows/zephrandolinth.rc.in ${CMAKE_BINARY_DIR}/zephrandolinth.rc @ONLY)
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
# A 64-bit installer for a 64-bit game: it writes where 64-bit programs live, in the registry as
# in the file system, and runs where the game runs (Wine without its 32-bit half included).
set(CPACK_NSIS_DEFINES "  Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${ZEPH_ICO})
set(CPACK_NSIS_MUI_UNIICON ${ZEPH_ICO})
set(CPACK_NSIS_INSTALLED_ICON_NAME zephrandolinth.exe)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
# A second install, over the first or elsewhere, first removes the earlier one with its own
# uninstaller, so no file of the earlier version is left behind. CPack's own way of doing so
# runs that uninstaller in place, where it cannot delete itself, and leaves it and its folder
# behind: here the new installer deletes them once the uninstaller has finished.
# Files NSIS cannot write are skipped without a word when it is silent, and the install reports
# success: the folder, and the game's executable when an earlier one is there (a running game
# holds it), are tried for writing first, before anything of an earlier install is removed.
# NSIS takes an install folder it judges unusable (/D=Q:\Games on a machine without Q:, or a
# path through a file) for its default one, even when silent: the installer would report
# success from a folder nobody chose. It stops instead, naming the folder asked for.
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS [[
  System::Call 'kernel32::GetCommandLineW() t .R7'
  StrCpy $R5 0
  zephFindFolderOption:
    StrCpy $R4 $R7 4 $R5
    StrCmp $R4 "" zephFolderAsAsked
    StrCmpS $R4 " /D=" zephFolderOptionFound
    IntOp $R5 $R5 + 1
    Goto zephFindFolderOption
  zephFolderOptionFound:
  IntOp $R5 $R5 + 4
  StrCpy $R4 $R7 "" $R5
  GetFullPathName $R4 $R4
  StrCpy $R3 $R4 1 -1
  StrCmp $R3 "\" 0 +2
    StrCpy $R4 $R4 -1
  GetFullPathName $R3 $INSTDIR
  StrCmp $R4 $R3 zephFolderAsAsked
    SetOutPath "$TEMP" ; a folder in use cannot be removed
    RMDir "$INSTDIR"
    MessageBox MB_OK|MB_ICONSTOP "Cannot install into $R4." /SD IDOK
    Abort "Cannot install into $R4."
  zephFolderAsAsked:
  ClearErrors
  FileOpen $R9 "$INSTDIR\zephrandolinth-write-test.tmp" w
  FileClose $R9
  Delete "$INSTDIR\zephrandolinth-write-test.tmp"
  IfFileExists "$INSTDIR\zephrandolinth.exe" 0 zephWriteTried
    FileOpen $R9 "$INSTDIR\zephrandolinth.exe" a
    FileClose $R9
  zephWriteTried:
  IfErrors 0 zephFolderWritable
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
    MessageBox MB_OK|MB_ICONSTOP "Cannot write into $INSTDIR (is the game running?)." /SD IDOK
    Abort "Cannot write into $INSTDIR."
  zephFolderWritable:
  ReadRegStr $R9 SHCTX "Software\Zephrandolinth developers\Zephrandolinth" ""
  StrCmp $R9 "" zephNoEarlierInstall
  IfFileExists "$R9\Uninstall.exe" 0 zephNoEarlierInstall
  DetailPrint "Removing the earlier installation in $R9"
  ClearErrors
  ExecWait '"$R9\Uninstall.exe" /S _?=$R9' $R8
  IfErrors zephEarlierRemains
  StrCmp $R8 "0" zephEarlierRemoved
  zephEarlierRemains:
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
    MessageBox MB_OK|MB_ICONSTOP "The earlier installation in $R9 could not be removed." /SD IDOK
    Abort "The earlier installation in $R9 could not be removed."
  zephEarlierRemoved:
  Delete "$R9\Uninstall.exe"
  RMDir "$R9"
  SetOutPath "$INSTDIR"
  zephNoEarlierInstall:
]])
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
