# packaging/package.cmake -- `cmake --build build --target package`: a Debian package (CPack's DEB
# generator) of what `cmake --install --prefix /usr` lays out, programs stripped, its dependencies
# computed from them by dpkg-shlibdeps (package dpkg-dev). Only the package target runs CPack.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tockwheel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "three-dimensional analog clock screen saver")
# Lines of at most 80 characters, as dpkg shows them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "A skeleton clock of spheres, cubes and kite-shaped hands, with TrueType\n"
  "numerals, drifts through one of twelve movement styles in front of a\n"
  "four-layer star field, in one of fourteen colour schemes or a colour of your\n"
  "own, drawn with OpenGL.\n"
  "\n"
  "It runs full screen or as an xscreensaver display mode, with a settings dialog\n"
  "(also in the desktop menu) and an optional wake-up password.\n"
  "tockwheel-add-to-xscreensaver adds it to your xscreensaver list.")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TOCKWHEEL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The font is a link into fonts-liberation2, so the link's target comes with it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation2)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xscreensaver)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
