# Rebuilds the MIME, menu and icon caches under PATHWICKS_SHARE (an absolute share folder), which
# desktops read instead of the files themselves. Included by the install and by `uninstall`.
# A missing tool only means the desktop notices the change later.
foreach(refresh
    "update-mime-database|${PATHWICKS_SHARE}/mime"
    "update-desktop-database|-q|${PATHWICKS_SHARE}/applications"
    "gtk-update-icon-cache|-q|-t|-f|${PATHWICKS_SHARE}/icons/hicolor")
  string(REPLACE "|" ";" command "${refresh}")
  list(POP_FRONT command tool)
  list(GET command -1 folder)
  if(NOT IS_DIRECTORY "${folder}")
    continue()
  endif()
  find_program(pathwicks_${tool} ${tool})
  if(NOT pathwicks_${tool})
    message(STATUS "Not refreshed (no ${tool}): ${folder}")
    continue()
  endif()
  list(JOIN command " " shown)
  message(STATUS "Refreshing: ${tool} ${shown}")
  execute_process(COMMAND ${pathwicks_${tool}} ${command} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(WARNING "${tool} failed (${status}); the desktop may notice the change late")
  endif()
endforeach()
