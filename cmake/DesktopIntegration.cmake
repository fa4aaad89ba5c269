# What makes an installed Pathwicks a desktop application: the menu entry, the document type
# with its icon, and the application icon, under <prefix>/share where desktops look for them.
include(GNUInstallDirs)

set(PATHWICKS_DESKTOP_ID pathwicks)
set(pathwicks_share ${CMAKE_INSTALL_DATADIR})

install(FILES ${PROJECT_SOURCE_DIR}/resources/pathwicks.desktop
  DESTINATION ${pathwicks_share}/applications
  RENAME ${PATHWICKS_DESKTOP_ID}.desktop)
install(FILES ${PROJECT_SOURCE_DIR}/resources/pathwicks-mime.xml
  DESTINATION ${pathwicks_share}/mime/packages
  RENAME ${PATHWICKS_DESKTOP_ID}.xml)
install(FILES ${PROJECT_SOURCE_DIR}/resources/pathwicks.svg
  DESTINATION ${pathwicks_share}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/resources/application-x-pathwicks.svg
  DESTINATION ${pathwicks_share}/icons/hicolor/scalable/mimetypes)

# Desktops read the MIME, menu and icon caches, not the files themselves. A staged install
# (DESTDIR set, as for a package) leaves them to the package manager's triggers; a missing
# tool only means the desktop notices the new files later.
install(CODE "set(pathwicks_share \"${pathwicks_share}\")")
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "")
    set(share "${CMAKE_INSTALL_PREFIX}/${pathwicks_share}")
    if(IS_ABSOLUTE "${pathwicks_share}")
      set(share "${pathwicks_share}")
    endif()
    foreach(refresh
        "update-mime-database|${share}/mime"
        "update-desktop-database|-q|${share}/applications"
        "gtk-update-icon-cache|-q|-t|-f|${share}/icons/hicolor")
      string(REPLACE "|" ";" command "${refresh}")
      list(POP_FRONT command tool)
      find_program(pathwicks_${tool} ${tool})
      if(NOT pathwicks_${tool})
        message(STATUS "Not refreshed (no ${tool}): ${share}")
        continue()
      endif()
      list(JOIN command " " shown)
      message(STATUS "Refreshing: ${tool} ${shown}")
      execute_process(COMMAND ${pathwicks_${tool}} ${command} RESULT_VARIABLE status)
      if(NOT status EQUAL 0)
        message(WARNING "${tool} failed (${status}); the desktop may pick up Pathwicks late")
      endif()
    endforeach()
  endif()
]])
