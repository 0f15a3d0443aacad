# Puts the shipped data beside the programs. The program's own files follow the sources;
# conf.xml is the user's description of the installation once it is there, so a rebuild
# never replaces it.
file(GLOB_RECURSE _files RELATIVE ${SRC} ${SRC}/*)
foreach(_f ${_files})
  set(_to ${DST}/${_f})
  if(_f STREQUAL "conf.xml" AND EXISTS ${_to})
    continue()
  endif()
  get_filename_component(_dir ${_to} DIRECTORY)
  file(MAKE_DIRECTORY ${_dir})
  file(COPY_FILE ${SRC}/${_f} ${_to} ONLY_IF_DIFFERENT)
endforeach()
