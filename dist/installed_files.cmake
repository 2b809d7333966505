# SPDX-License-Identifier: GPL-3.0-or-later
# Run at install time: writes the files that name where Alarm is installed (the menu entry,
# the man page and the readme Help opens), because a package build knows its prefix only now.
# In: ALARM_SOURCE_DIR (dist/), ALARM_ASSETS_DIR, ALARM_WORK_DIR, ALARM_APP_ID,
#     ALARM_INSTALL_LAUNCHER, ALARM_INSTALL_PROGRAM_DIR, PROJECT_VERSION.
# file(INSTALL) puts DESTDIR in front by itself.
set(root "${CMAKE_INSTALL_PREFIX}")
set(launcher "${CMAKE_INSTALL_PREFIX}/${ALARM_INSTALL_LAUNCHER}")
set(program_dir "${CMAKE_INSTALL_PREFIX}/${ALARM_INSTALL_PROGRAM_DIR}")
file(MAKE_DIRECTORY "${ALARM_WORK_DIR}")

# The menu entry. One argument of the Exec key: in double quotes when it holds a character
# the key treats specially, with ", `, $ and \ escaped inside them; then the file's own
# string escapes.
set(exec "${launcher}")
if(exec MATCHES "[] \t\n\"'\\\\><~|&;$*?#()`[]")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" exec "${exec}")
  set(exec "\"${exec}\"")
endif()
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
string(REPLACE "\n" "\\n" ALARM_DESKTOP_EXEC "${exec}")
configure_file("${ALARM_SOURCE_DIR}/alarm.desktop.in" "${ALARM_WORK_DIR}/${ALARM_APP_ID}.desktop" @ONLY)
file(INSTALL "${ALARM_WORK_DIR}/${ALARM_APP_ID}.desktop" DESTINATION "${root}/share/applications")

# The readme names the command on the PATH and the program folder's own tools.
set(ALARM_COMMAND alarm)
set(ALARM_REGSVR "${program_dir}/regsvr")
set(ALARM_LUMICELL "${program_dir}/liblumicell.so")
foreach(var ALARM_REGSVR ALARM_LUMICELL)
  if("${${var}}" MATCHES " ")
    set(${var} "\"${${var}}\"")
  endif()
endforeach()
configure_file("${ALARM_ASSETS_DIR}/readme.txt.in" "${ALARM_WORK_DIR}/readme.txt" @ONLY)
file(INSTALL "${ALARM_WORK_DIR}/readme.txt" DESTINATION "${root}/${ALARM_INSTALL_PROGRAM_DIR}")

# The man page's FILES are those of this prefix (a hyphen and a blank written as roff wants
# them, so the path stays one word).
string(REPLACE "\\" "\\e" ALARM_MAN_PROGRAM_DIR "${program_dir}")
string(REPLACE "-" "\\-" ALARM_MAN_PROGRAM_DIR "${ALARM_MAN_PROGRAM_DIR}")
string(REPLACE " " "\\ " ALARM_MAN_PROGRAM_DIR "${ALARM_MAN_PROGRAM_DIR}")
configure_file("${ALARM_SOURCE_DIR}/alarm.1.in" "${ALARM_WORK_DIR}/alarm.1" @ONLY)
file(REMOVE "${ALARM_WORK_DIR}/alarm.1.gz")
execute_process(COMMAND gzip -9n alarm.1 WORKING_DIRECTORY "${ALARM_WORK_DIR}" COMMAND_ERROR_IS_FATAL ANY)
file(INSTALL "${ALARM_WORK_DIR}/alarm.1.gz" DESTINATION "${root}/share/man/man1")
