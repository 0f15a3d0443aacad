# One place for the warnings and strict Qt defines that every target of ours gets.
add_library(ombrix_options INTERFACE)
target_compile_options(ombrix_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow=local -Wnon-virtual-dtor -Woverloaded-virtual
  -Wcast-align -Wformat=2 -Wimplicit-fallthrough)
target_compile_definitions(ombrix_options INTERFACE
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH
  QT_STRICT_ITERATORS
  QT_DISABLE_DEPRECATED_BEFORE=0x060400)
if(OMBRIX_SANITIZE)
  target_compile_options(ombrix_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(ombrix_options INTERFACE -fsanitize=address,undefined)
endif()

# Sources are listed by folder: the folder is the unit of architecture. A library takes every
# source below its folder, subfolders included, except the folders named after EXCLUDE (a
# target of their own, such as the updater's window).
function(ombrix_sources out dir)
  cmake_parse_arguments(PARSE_ARGV 2 _arg "" "" "EXCLUDE")
  file(GLOB_RECURSE _s CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h ${dir}/*.qrc)
  foreach(_x ${_arg_EXCLUDE})
    list(FILTER _s EXCLUDE REGEX "^${dir}/${_x}/")
  endforeach()
  set(${out} ${_s} PARENT_SCOPE)
endfunction()

# A library's folder and each of its subfolders that holds headers are include folders, so
# includes name the file alone ("Frame.h") whatever folder it sits in.
function(ombrix_include_folders target dir)
  cmake_parse_arguments(PARSE_ARGV 2 _arg "" "" "EXCLUDE")
  file(GLOB_RECURSE _h CONFIGURE_DEPENDS ${dir}/*.h)
  set(_dirs ${dir})
  foreach(_f ${_h})
    get_filename_component(_d ${_f} DIRECTORY)
    list(APPEND _dirs ${_d})
  endforeach()
  list(REMOVE_DUPLICATES _dirs)
  foreach(_x ${_arg_EXCLUDE})
    list(FILTER _dirs EXCLUDE REGEX "^${dir}/${_x}(/|$)")
  endforeach()
  target_include_directories(${target} PUBLIC ${_dirs})
endfunction()
