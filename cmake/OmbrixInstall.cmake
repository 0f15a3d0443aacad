# `cmake --install BUILD --prefix DIR` lays out a program folder, DIR/lib/ombrix, holding the
# programs and the files they read beside them, as they sit in build/bin. The folder must stay
# writable by the user who runs the program: the camera writes temp.jpg there and update
# rewrites the language files and conf.xml there. DIR/bin gets links for the command line and
# DIR/share the desktop entry and the icon.
set(OMBRIX_INSTALL_FOLDER lib/ombrix)

install(TARGETS ombrix update RUNTIME DESTINATION ${OMBRIX_INSTALL_FOLDER})
file(GLOB _languages CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/*.lng)
install(FILES ${_languages} ${CMAKE_SOURCE_DIR}/data/UnknownRequest.html DESTINATION ${OMBRIX_INSTALL_FOLDER})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/characters DESTINATION ${OMBRIX_INSTALL_FOLDER})

foreach(_size 16 22 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/${_size}x${_size}/ombrix.png
          DESTINATION share/icons/hicolor/${_size}x${_size}/apps)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/shell/icons/svg/tray.svg
        DESTINATION share/icons/hicolor/scalable/apps RENAME ombrix.svg)

# The prefix is known only when installing (--prefix overrides the configured one), so the
# steps that name it run then.
install(CODE "
  set(OMBRIX_SOURCE_DIR \"${CMAKE_SOURCE_DIR}\")
  set(OMBRIX_INSTALL_FOLDER \"${OMBRIX_INSTALL_FOLDER}\")
  include(\"${CMAKE_SOURCE_DIR}/cmake/OmbrixInstallSteps.cmake\")
")
