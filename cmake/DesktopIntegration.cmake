# What makes an installed Pathwicks a desktop application: the menu entry, the document type
# with its icon, and the application icon, under <prefix>/share where desktops look for them.
include(GNUInstallDirs)

# The desktop id "pathwicks" names the entry, its icon and the program's desktopFileName.
set(pathwicks_share ${CMAKE_INSTALL_DATADIR})

install(FILES ${PROJECT_SOURCE_DIR}/resources/pathwicks.desktop
  DESTINATION ${pathwicks_share}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/pathwicks-mime.xml
  DESTINATION ${pathwicks_share}/mime/packages
  RENAME pathwicks.xml)
install(FILES ${PROJECT_SOURCE_DIR}/resources/pathwicks.svg
  DESTINATION ${pathwicks_share}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/resources/application-x-pathwicks.svg
  DESTINATION ${pathwicks_share}/icons/hicolor/scalable/mimetypes)

# Desktops read the MIME, menu and icon caches, not the files themselves. A staged install
# (DESTDIR set, as for a package) leaves them to the package manager's triggers.
install(CODE "
  if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
    cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_PREFIX NORMALIZE OUTPUT_VARIABLE PATHWICKS_SHARE)
    cmake_path(APPEND PATHWICKS_SHARE \"${pathwicks_share}\")
    include(\"${CMAKE_CURRENT_LIST_DIR}/RefreshDesktopCaches.cmake\")
  endif()")
