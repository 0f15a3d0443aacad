# One place for the warnings and strict Qt defines that every target of ours gets.
add_library(ombrix_options INTERFACE)
target_compile_options(ombrix_options INTERFACE
  -Wall -Wextra -Wpedantic $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local> -Wnon-virtual-dtor -Woverloaded-virtual
  -Wcast-align -Wformat=2 -Wimplicit-fallthrough)
# The version in project() is the one every program shows and writes.
target_compile_definitions(ombrix_options INTERFACE
  OMBRIX_VERSION="${PROJECT_VERSION}"
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH
  QT_STRICT_ITERATORS
  QT_DISABLE_DEPRECATED_BEFORE=0x060400)
if(OMBRIX_WERROR)
  target_compile_options(ombrix_options INTERFACE -Werror)
endif()
if(OMBRIX_SANITIZE)
  target_compile_options(ombrix_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(ombrix_options INTERFACE -fsanitize=address,undefined)
endif()

# The fuzz targets need every library built with coverage for libFuzzer and with the sanitizers
# that turn a memory fault into a finding.
if(OMBRIX_FUZZ)
  include(CheckCXXSourceCompiles)
  set(CMAKE_REQUIRED_FLAGS -fsanitize=fuzzer)
  check_cxx_source_compiles([[
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *, size_t) { return 0; }
]] OMBRIX_HAS_LIBFUZZER)
  unset(CMAKE_REQUIRED_FLAGS)
  if(OMBRIX_HAS_LIBFUZZER)
    target_compile_options(ombrix_options INTERFACE
      -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(ombrix_options INTERFACE -fsanitize=address,undefined)
  else()
    message(WARNING "OMBRIX_FUZZ: ${CMAKE_CXX_COMPILER_ID} has no -fsanitize=fuzzer; the fuzz targets are left out")
  endif()
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

# Includes name a header by its path from its library's root ("engine/protocol/Frame.h"), so a
# reader sees which library an include crosses into. Each library exposes only its own root,
# under its own name, and a target sees the roots of the libraries it links: a layer that
# reaches one it may not use fails to compile.
function(ombrix_include_root target name dir)
  set(_roots ${CMAKE_BINARY_DIR}/include-roots/${name})
  file(MAKE_DIRECTORY ${_roots})
  file(REMOVE ${_roots}/${name})
  file(CREATE_LINK ${dir} ${_roots}/${name} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${_roots})
endfunction()

# A library cut out of another's folder exposes only its own headers, at the paths they have
# in that folder ("engine/config/IniDocument.h"): what links it alone reaches nothing else there.
function(ombrix_include_headers target name prefix dir)
  set(_root ${CMAKE_BINARY_DIR}/include-roots/${name})
  file(REMOVE_RECURSE ${_root})
  foreach(_h ${ARGN})
    get_filename_component(_d ${_root}/${prefix}/${_h} DIRECTORY)
    file(MAKE_DIRECTORY ${_d})
    file(CREATE_LINK ${dir}/${_h} ${_root}/${prefix}/${_h} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${_root})
endfunction()

# Benchmarks and tools are one folder each with its own CMakeLists.txt: a new folder is a new
# target without a line here.
function(ombrix_add_folders)
  file(GLOB _folders LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(_f ${_folders})
    if(IS_DIRECTORY ${_f} AND EXISTS ${_f}/CMakeLists.txt)
      add_subdirectory(${_f})
    endif()
  endforeach()
endfunction()
