# `cpack -G DEB`: a Debian package of everything `cmake --install` installs.
# The library dependencies are read off the program and its desktop module
# (GTK's libraries are the module's alone) by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME ifs-render)
set(CPACK_PACKAGE_VENDOR "The ifs-render developers")
set(CPACK_PACKAGE_CONTACT "${IFS_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${IFS_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${IFS_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "draws fractals of iterated function systems")
# No line may start with a dot: dpkg reads such a line as a control statement.
set(CPACK_PACKAGE_DESCRIPTION "ifs-render reads an iterated function system, a table of affine maps of
the plane with their weights, from a text file and draws its attractor by
the chaos game in a desktop window, denser every 1.5 seconds. Pictures save
as PNG or BMP.

From the command line it renders the same pictures without a display, and
posters of any size shaded by density on every core. It reads libraries of
named tables in the widely shared block format as well.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
