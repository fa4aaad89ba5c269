# `cpack -G DEB` in the build folder makes a Debian package installing under /usr.
set(CPACK_PACKAGE_NAME pathwicks)
set(CPACK_PACKAGE_VENDOR "Pathwicks")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for code walkthrough diagrams")
set(CPACK_PACKAGE_DESCRIPTION
  "Pathwicks lays out a walk through source code as a diagram: reference boxes tied to places\n\
in the code by marker comments, free labels, and arrows. Double-clicking a box opens the\n\
user's editor at the marked line.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Pathwicks developers <pathwicks@example.org>"
  CACHE STRING "Maintainer written into packages")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The linked libraries come from dpkg-shlibdeps; the SVG icon engine is a plugin Qt loads at
# run time, so no library link reveals it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, hicolor-icon-theme, shared-mime-info, desktop-file-utils")

include(CPack)

# `cmake --build BUILD --target uninstall` undoes the last `cmake --install` from BUILD.
add_custom_target(uninstall
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt
          -P ${CMAKE_CURRENT_LIST_DIR}/Uninstall.cmake
  COMMENT "Removing what cmake --install put in place"
  VERBATIM)
