# Install-time steps that depend on the prefix; run by `cmake --install` with
# OMBRIX_SOURCE_DIR, OMBRIX_INSTALL_FOLDER and OMBRIX_APP_ID set. file(INSTALL) puts DESTDIR in
# front of its destination itself; the paths written here directly take it from _staged.
set(_folder "${CMAKE_INSTALL_PREFIX}/${OMBRIX_INSTALL_FOLDER}")
set(_staged "$ENV{DESTDIR}")

# conf.xml describes the user's installation once it is there: a first install brings the
# sample, a later one keeps the user's. A staged tree is a package's, never a user's folder:
# it always gets the sample.
if(_staged STREQUAL "" AND EXISTS "${_folder}/conf.xml")
  message(STATUS "Kept: ${_folder}/conf.xml")
else()
  file(INSTALL "${OMBRIX_SOURCE_DIR}/data/conf.xml" DESTINATION "${_folder}")
endif()

# The menu starts the program by its full path at the prefix, as it will be once a staged tree
# is installed: a user's ~/.local/bin is often not on the desktop session's PATH.
set(_program "${_folder}/ombrix")
# Exec quotes the path and escapes within the quotes; then both keys escape as strings do.
set(_exec "${_program}")
foreach(_c "\\" "\"" "`" "$")
  string(REPLACE "${_c}" "\\${_c}" _exec "${_exec}")
endforeach()
set(_exec "\"${_exec}\"")
string(REPLACE "\\" "\\\\" OMBRIX_DESKTOP_EXEC "${_exec}")
string(REPLACE "%" "%%" OMBRIX_DESKTOP_EXEC "${OMBRIX_DESKTOP_EXEC}")
string(REPLACE "\\" "\\\\" OMBRIX_DESKTOP_TRYEXEC "${_program}")
set(_entry "${CMAKE_INSTALL_PREFIX}/share/applications/${OMBRIX_APP_ID}.desktop")
message(STATUS "Installing: ${_staged}${_entry}")
configure_file("${OMBRIX_SOURCE_DIR}/packaging/${OMBRIX_APP_ID}.desktop.in" "${_staged}${_entry}" @ONLY)
# Listed in install_manifest.txt as file(INSTALL) lists what it writes: at the prefix.
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_entry}")
