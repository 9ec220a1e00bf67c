# SPDX-License-Identifier: GPL-3.0-or-later
# Run at install time: writes the menu entry with the installed program's
# absolute path in Exec and TryExec, so a prefix whose bin/ is not on PATH
# (~/.local) still starts from the menu, and an entry whose program is
# gone is hidden. In: ENTRY_IN, ENTRY_OUT, BINDIR, APPSDIR (relative to the
# prefix unless absolute).
if(IS_ABSOLUTE "${BINDIR}")
  set(program "${BINDIR}/lumetta")
else()
  set(program "${CMAKE_INSTALL_PREFIX}/${BINDIR}/lumetta")
endif()
cmake_path(NORMAL_PATH program)

# The Exec rules: a path with anything but plain characters goes in double
# quotes with \ " ` $ escaped, then every backslash is doubled once more as
# the string rule wants. GLib will not start a path holding a %.
set(exec "${program}")
if(exec MATCHES "%")
  message(WARNING "${program} holds a %: the menu entry runs lumetta from PATH")
  set(exec lumetta)
  set(tryexec lumetta)
else()
  string(REPLACE "\\" "\\\\" tryexec "${program}")
  if(NOT exec MATCHES "^[A-Za-z0-9/._+-]+$")
    string(REPLACE "\\" "\\\\\\\\" exec "${exec}")
    foreach(special "\"" "`" "$")
      string(REPLACE "${special}" "\\\\${special}" exec "${exec}")
    endforeach()
    set(exec "\"${exec}\"")
  endif()
endif()

file(READ "${ENTRY_IN}" entry)
string(REPLACE "\nExec=lumetta" "\nExec=${exec}" entry "${entry}")
string(REPLACE "\nTryExec=lumetta\n" "\nTryExec=${tryexec}\n" entry "${entry}")
get_filename_component(name "${ENTRY_IN}" NAME)
file(WRITE "${ENTRY_OUT}/${name}" "${entry}")
if(IS_ABSOLUTE "${APPSDIR}")
  set(apps "${APPSDIR}")
else()
  set(apps "${CMAKE_INSTALL_PREFIX}/${APPSDIR}")
endif()
file(INSTALL "${ENTRY_OUT}/${name}" DESTINATION "${apps}")
