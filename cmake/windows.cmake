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

# Windows' own line ends in the texts a player opens with Notepad: a README for players on
# Windows, and the licence.
configure_file(packaging/windows/README.txt ${CMAKE_BINARY_DIR}/packaging/README.txt @ONLY
    NEWLINE_STYLE CRLF)
configure_file(LICENSE ${CMAKE_BINARY_DIR}/packaging/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
# The installer's licence page wraps lines to its own width: there each paragraph is one line.
file(READ LICENSE ZEPH_LICENCE)
string(STRIP "${ZEPH_LICENCE}" ZEPH_LICENCE)
string(REPLACE "\n\n" "@ZEPH_PARAGRAPH@" ZEPH_LICENCE "${ZEPH_LICENCE}")
string(REPLACE "\n" " " ZEPH_LICENCE "${ZEPH_LICENCE}")
string(REPLACE "@ZEPH_PARAGRAPH@" "\n\n" ZEPH_LICENCE "${ZEPH_LICENCE}")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/packaging/licence-page.txt CONTENT "${ZEPH_LICENCE}\n"
    @ONLY NEWLINE_STYLE CRLF)

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
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_BINARY_DIR}/packaging/licence-page.txt)
set(CPACK_STRIP_FILES ON)

set(CPACK_NSIS_PACKAGE_NAME "Zephrandolinth ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Zephrandolinth ${PROJECT_VERSION}")
# A 64-bit installer for a 64-bit game (Target amd64-unicode): it writes where 64-bit programs
# live, in the registry as in the file system, and runs where the game runs (Wine without its
# 32-bit half included). The installer's own code, before its pages: a second install offers
# the folder of the first (/D= still names another); the footer names the game; the finish
# page offers to start it.
# NSIS reads /D= only last on the command line and unquoted: a quoted one it ignores, and the
# game would go to the default folder with success reported, so it is refused, before the
# first page or, when silent, before anything is written. NSIS also takes an install folder it
# judges unusable (/D=Q:\Games on a machine without Q:, or a path through a file) for its
# default one, even when silent: a silent install stops instead, naming the folder asked for
# (a person sees the folder on the directory page, and may pick another there).
set(CPACK_NSIS_MUI_FINISHPAGE_RUN zephrandolinth.exe)
string(CONFIGURE [[
  Target amd64-unicode
  BrandingText "Zephrandolinth @PROJECT_VERSION@"
  !include LogicLib.nsh
  InstallDirRegKey HKLM "Software\Zephrandolinth developers\Zephrandolinth" ""
  !define MUI_CUSTOMFUNCTION_GUIINIT zephRefuseQuotedFolderBeforeThePages
  !define MUI_FINISHPAGE_RUN_TEXT "Start the game"

!macro zephStop MESSAGE
  SetOutPath "$TEMP" ; a folder in use cannot be removed
  RMDir "$INSTDIR" ; made empty as the section began, or the earlier install's, left whole
  MessageBox MB_OK|MB_ICONSTOP "${MESSAGE}" /SD IDOK
  Abort "${MESSAGE}"
!macroend

; $R2: where $R1 is found in $R0, case counted, or -1.
Function zephFind
  StrLen $R3 $R1
  StrCpy $R2 0
  ${Do}
    StrCpy $R4 $R0 $R3 $R2
    ${If} $R4 == ""
      StrCpy $R2 -1
      ${ExitDo}
    ${EndIf}
    ${IfThen} $R4 S== $R1 ${|} ${ExitDo} ${|}
    IntOp $R2 $R2 + 1
  ${Loop}
FunctionEnd

; $R1: 1 when the command line quotes its /D=, after saying so.
Function zephQuotedFolder
  System::Call 'kernel32::GetCommandLineW() t .R0'
  StrCpy $R1 '"/D='
  Call zephFind
  StrCpy $R1 0
  ${If} $R2 >= 0
    MessageBox MB_OK|MB_ICONSTOP "The install folder is read from /D= only when it comes last and without quotes, spaces and all: /D=C:\Games\Space Games" /SD IDOK
    StrCpy $R1 1
  ${EndIf}
FunctionEnd

Function zephRefuseQuotedFolderBeforeThePages
  Call zephQuotedFolder
  ${If} $R1 == 1
    SetErrorLevel 2 ; as an install stopped later
    Quit
  ${EndIf}
FunctionEnd

; The error flag set when folder $R0, or the game's executable there, cannot be written.
Function zephTryWriting
  FileOpen $R8 "$R0\zephrandolinth-write-test.tmp" w
  FileClose $R8
  Delete "$R0\zephrandolinth-write-test.tmp"
  ${If} ${FileExists} "$R0\zephrandolinth.exe"
    FileOpen $R8 "$R0\zephrandolinth.exe" a
    FileClose $R8
  ${EndIf}
FunctionEnd

; $R1: 1 when the game runs from folder $R0. A running program's file cannot be opened for
; writing by anyone (a sharing violation), where a folder nobody may write refuses access.
Function zephGameRunsFrom
  StrCpy $R1 0
  ${If} ${FileExists} "$R0\zephrandolinth.exe"
    System::Call 'kernel32::CreateFileW(w "$R0\zephrandolinth.exe", i 0x40000000, i 0, p 0, i 3, i 0x80, p 0) p .R2 ?e'
    Pop $R3
    ${If} $R2 != -1
      System::Call 'kernel32::CloseHandle(p R2)'
    ${ElseIf} $R3 == 32 ; ERROR_SHARING_VIOLATION
      StrCpy $R1 1
    ${EndIf}
  ${EndIf}
FunctionEnd
]] CPACK_NSIS_DEFINES @ONLY) # (CPack's own footer setting writes a /TRIMLEFT that
# makensis on Linux refuses)
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
# success; an uninstaller skips the files it cannot delete and reports success too. So nothing
# is touched until all is known to go through: the game runs from neither folder (a running
# game holds its executable), and the folder and an earlier game's executable there can be
# written. Once the earlier uninstaller has run, its game must be gone.
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS [[
  IfSilent 0 zephFolderAsAsked
  Call zephQuotedFolder
  ${If} $R1 == 1
    SetOutPath "$TEMP"
    RMDir "$INSTDIR"
    Abort "The install folder is quoted."
  ${EndIf}
  System::Call 'kernel32::GetCommandLineW() t .R0'
  StrCpy $R1 " /D="
  Call zephFind
  ${IfThen} $R2 < 0 ${|} Goto zephFolderAsAsked ${|}
  IntOp $R5 $R2 + 4
  StrCpy $R4 $R0 "" $R5
  GetFullPathName $R4 $R4
  StrCpy $R3 $R4 1 -1
  StrCmp $R3 "\" 0 +2
    StrCpy $R4 $R4 -1
  GetFullPathName $R3 $INSTDIR
  StrCmp $R4 $R3 zephFolderAsAsked
    !insertmacro zephStop "Cannot install into $R4."
  zephFolderAsAsked:
  ReadRegStr $R9 SHCTX "Software\Zephrandolinth developers\Zephrandolinth" ""
  StrCpy $R0 $INSTDIR
  Call zephGameRunsFrom
  ${If} $R1 == 0
  ${AndIf} $R9 != ""
    StrCpy $R0 $R9
    Call zephGameRunsFrom
  ${EndIf}
  ${If} $R1 == 1
    !insertmacro zephStop "Zephrandolinth is running from $R0. Close the game, then install again."
  ${EndIf}
  ClearErrors
  StrCpy $R0 $INSTDIR
  Call zephTryWriting
  ${If} ${Errors}
    !insertmacro zephStop "Cannot write into $INSTDIR."
  ${EndIf}
  StrCmp $R9 "" zephNoEarlierInstall
  IfFileExists "$R9\Uninstall.exe" 0 zephNoEarlierInstall
  StrCpy $R0 $R9
  Call zephTryWriting
  ${If} ${Errors}
    !insertmacro zephStop "Cannot write into $R9, where the game is installed."
  ${EndIf}
  DetailPrint "Removing the earlier installation in $R9"
  ClearErrors
  ExecWait '"$R9\Uninstall.exe" /S _?=$R9' $R8
  IfErrors zephEarlierRemains
  IfFileExists "$R9\zephrandolinth.exe" zephEarlierRemains
  StrCmp $R8 "0" zephEarlierRemoved
  zephEarlierRemains:
    !insertmacro zephStop "The earlier installation in $R9 could not be removed."
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
# The vendor's key holds the game's alone: it goes with it.
set(CPACK_NSIS_DELETE_ICONS_EXTRA [[
  Delete "$SMPROGRAMS\$MUI_TEMP\Zephrandolinth.lnk"
  DeleteRegKey /ifempty SHCTX "Software\Zephrandolinth developers"
]])
include(CPack)
