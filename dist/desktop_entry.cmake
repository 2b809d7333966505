# Run at install time: writes the menu entry, whose Exec names the launcher at its final
# place; a package build knows that prefix only now.
# In: ALARM_DESKTOP_IN, ALARM_DESKTOP_OUT, ALARM_APP_ID, ALARM_INSTALL_LAUNCHER.
set(launcher "${CMAKE_INSTALL_PREFIX}/${ALARM_INSTALL_LAUNCHER}")
# One argument of the Exec key: in double quotes when it holds a character the key treats
# specially, with ", `, $ and \ escaped inside them; then the file's own string escapes.
if(launcher MATCHES "[] \t\n\"'\\\\><~|&;$*?#()`[]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" launcher "${launcher}")
  set(launcher "\"${launcher}\"")
endif()
string(REPLACE "\\" "\\\\" launcher "${launcher}")
string(REPLACE "%" "%%" launcher "${launcher}")
string(REPLACE "\n" "\\n" ALARM_DESKTOP_EXEC "${launcher}")
configure_file("${ALARM_DESKTOP_IN}" "${ALARM_DESKTOP_OUT}" @ONLY)
file(INSTALL "${ALARM_DESKTOP_OUT}" DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications")
