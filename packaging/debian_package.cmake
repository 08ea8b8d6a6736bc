# `cpack -G DEB`: a Debian package of everything `cmake --install` installs.
# The library dependencies are read off the binary by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME ifs-render)
set(CPACK_PACKAGE_VENDOR "The ifs-render developers")
set(CPACK_PACKAGE_CONTACT "The ifs-render developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "draws fractals of iterated function systems")
set(CPACK_PACKAGE_DESCRIPTION "ifs-render plays the chaos game on an iterated function system given as a
.ifs file and draws its attractor in a desktop window, denser every 1.5 s.
Pictures save as PNG or BMP. It also renders pictures from the command line
without a display.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
