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

# Sources are listed by folder: the folder is the unit of architecture.
function(ombrix_sources out dir)
  file(GLOB _s CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h ${dir}/*.qrc)
  set(${out} ${_s} PARENT_SCOPE)
endfunction()
