# Read by cpack for each package it makes. A Debian package that installs anywhere but /usr
# breaks Debian's rules, and the placeholder maintainer would ship a package nobody answers for.
if(CPACK_GENERATOR STREQUAL "DEB")
    if(NOT CPACK_PACKAGING_INSTALL_PREFIX STREQUAL "/usr")
        message(FATAL_ERROR "The Debian package installs under /usr, and this build is for "
            "${CPACK_PACKAGING_INSTALL_PREFIX}: make it from a build configured with "
            "-DCMAKE_INSTALL_PREFIX=/usr (README.md, \"Install, package, start from anywhere\").")
    endif()
    if(CPACK_PACKAGE_CONTACT MATCHES "^Placeholder Maintainer")
        message(WARNING "The package's maintainer is the placeholder \"${CPACK_PACKAGE_CONTACT}\": "
            "configure with -DZEPH_MAINTAINER=\"Name <address>\" before publishing it.")
    endif()
endif()
