# Run by cmake --install (and by cpack): writes the manual page for the prefix being installed
# to, compressed as Debian wants it (gzip -9, no name or time stamp inside), and installs it.
# The install rule sets ZEPH_PAGE_TEMPLATE (the page with the build's values filled in) and the
# directories as install() takes them: relative to the prefix, or absolute.

# A directory given relative lies under the prefix being installed to; an absolute one is itself.
function(zeph_installed_place variable directory)
    if(NOT IS_ABSOLUTE "${directory}")
        set(directory "${CMAKE_INSTALL_PREFIX}/${directory}")
    endif()
    string(REGEX REPLACE "//+" "/" directory "${directory}")
    string(REGEX REPLACE "(.)/$" "\\1" directory "${directory}")
    set(${variable} "${directory}" PARENT_SCOPE)
endfunction()

zeph_installed_place(ZEPH_GAME_PATH "${ZEPH_PAGE_BINDIR}/zephrandolinth")
zeph_installed_place(ZEPH_DATA_DIR "${ZEPH_PAGE_DATADIR}")
zeph_installed_place(ZEPH_SHARE_DIR "${ZEPH_PAGE_SHAREDIR}")
zeph_installed_place(zeph_page_destination "${ZEPH_PAGE_MANDIR}/man6")

# Written beside the template, in the build, so that file(INSTALL) records it in the install
# manifest and honours DESTDIR (cpack's staging directory) as for every other file.
get_filename_component(zeph_page_folder "${ZEPH_PAGE_TEMPLATE}" DIRECTORY)
set(zeph_page "${zeph_page_folder}/installed/zephrandolinth.6")
file(READ "${ZEPH_PAGE_TEMPLATE}" zeph_page_text)
string(CONFIGURE "${zeph_page_text}" zeph_page_text @ONLY)
file(WRITE "${zeph_page}" "${zeph_page_text}")
execute_process(COMMAND gzip -9 -n -f "${zeph_page}" RESULT_VARIABLE zeph_gzipped)
if(NOT zeph_gzipped EQUAL 0)
    message(FATAL_ERROR "gzip could not compress the manual page ${zeph_page}: ${zeph_gzipped}")
endif()
file(INSTALL DESTINATION "${zeph_page_destination}" TYPE FILE FILES "${zeph_page}.gz")
