# Install-time steps that depend on the prefix; run by `cmake --install` with
# OMBRIX_SOURCE_DIR and OMBRIX_INSTALL_FOLDER set.
set(_root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(_folder "${_root}/${OMBRIX_INSTALL_FOLDER}")

# conf.xml describes the user's installation once it is there: a first install brings the
# sample, a later one keeps the user's.
if(EXISTS "${_folder}/conf.xml")
  message(STATUS "Kept: ${_folder}/conf.xml")
else()
  file(INSTALL "${OMBRIX_SOURCE_DIR}/data/conf.xml" DESTINATION "${_folder}")
endif()

# The programs look for their files beside their real path, which a symbolic link leads to.
file(MAKE_DIRECTORY "${_root}/bin")
foreach(_pair "ombrix=ombrix" "ombrix-update=update")
  string(REPLACE "=" ";" _pair "${_pair}")
  list(GET _pair 0 _link)
  list(GET _pair 1 _program)
  message(STATUS "Installing: ${_root}/bin/${_link} -> ../${OMBRIX_INSTALL_FOLDER}/${_program}")
  file(REMOVE "${_root}/bin/${_link}")
  file(CREATE_LINK "../${OMBRIX_INSTALL_FOLDER}/${_program}" "${_root}/bin/${_link}" SYMBOLIC)
endforeach()

# The menu starts the program by its full path, as it will be after a DESTDIR staging too:
# a user's ~/.local/bin is often not on the desktop session's PATH.
set(_program "${CMAKE_INSTALL_PREFIX}/${OMBRIX_INSTALL_FOLDER}/ombrix")
# Exec quotes the path and escapes within the quotes; then both keys escape as strings do.
set(_exec "${_program}")
foreach(_c "\\" "\"" "`" "$")
  string(REPLACE "${_c}" "\\${_c}" _exec "${_exec}")
endforeach()
set(_exec "\"${_exec}\"")
string(REPLACE "\\" "\\\\" OMBRIX_DESKTOP_EXEC "${_exec}")
string(REPLACE "%" "%%" OMBRIX_DESKTOP_EXEC "${OMBRIX_DESKTOP_EXEC}")
string(REPLACE "\\" "\\\\" OMBRIX_DESKTOP_TRYEXEC "${_program}")
message(STATUS "Installing: ${_root}/share/applications/ombrix.desktop")
configure_file("${OMBRIX_SOURCE_DIR}/packaging/ombrix.desktop.in" "${_root}/share/applications/ombrix.desktop" @ONLY)
