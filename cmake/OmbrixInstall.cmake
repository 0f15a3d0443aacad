# `cmake --install BUILD --prefix DIR` lays out a program folder, DIR/lib/ombrix, holding the
# programs and the files they read beside them, as they sit in build/bin. The folder must stay
# writable by the user who runs the program: the camera writes temp.jpg there and update
# rewrites the language files and conf.xml there. DIR/bin gets links for the command line and
# DIR/share the desktop entry, the metainfo, the icon and the manual pages.
# Every destination is relative to the prefix, so a staged install (DESTDIR) puts each file
# once under DESTDIR at the prefix's place.
set(OMBRIX_INSTALL_FOLDER lib/ombrix)
# One id names the desktop entry, the metainfo and the icon; the program gives the same one
# as its desktop file name (engine/config/ProgramIdentity.h).
set(OMBRIX_APP_ID org.tervalia.Ombrix)
# Where software centres fetch the screenshots of the metainfo: the repository's docs/screenshots
# as raw files.
set(OMBRIX_SCREENSHOTS_URL "https://ombrix.example.org/git/ombrix/raw/branch/main/docs/screenshots"
    CACHE STRING "Address of docs/screenshots as raw files, for the metainfo")
set(_packaging ${CMAKE_BINARY_DIR}/packaging)

install(TARGETS ombrix update RUNTIME DESTINATION ${OMBRIX_INSTALL_FOLDER})
file(GLOB _languages CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/*.lng)
install(FILES ${_languages} ${CMAKE_SOURCE_DIR}/data/UnknownRequest.html DESTINATION ${OMBRIX_INSTALL_FOLDER})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/characters DESTINATION ${OMBRIX_INSTALL_FOLDER})

# The programs look for their files beside their real path, which these links lead to; relative,
# so they hold at any prefix and in a staged tree.
file(MAKE_DIRECTORY ${_packaging}/bin)
file(CREATE_LINK ../${OMBRIX_INSTALL_FOLDER}/ombrix ${_packaging}/bin/ombrix SYMBOLIC)
file(CREATE_LINK ../${OMBRIX_INSTALL_FOLDER}/update ${_packaging}/bin/ombrix-update SYMBOLIC)
install(FILES ${_packaging}/bin/ombrix ${_packaging}/bin/ombrix-update DESTINATION bin)

foreach(_size 16 22 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/${_size}x${_size}/ombrix.png
          DESTINATION share/icons/hicolor/${_size}x${_size}/apps RENAME ${OMBRIX_APP_ID}.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/shell/icons/svg/tray.svg
        DESTINATION share/icons/hicolor/scalable/apps RENAME ${OMBRIX_APP_ID}.svg)

configure_file(${CMAKE_SOURCE_DIR}/packaging/${OMBRIX_APP_ID}.metainfo.xml.in
               ${_packaging}/${OMBRIX_APP_ID}.metainfo.xml @ONLY)
install(FILES ${_packaging}/${OMBRIX_APP_ID}.metainfo.xml DESTINATION share/metainfo)
foreach(_page ombrix ombrix-update)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/man/${_page}.1.in ${_packaging}/man/${_page}.1 @ONLY)
  install(FILES ${_packaging}/man/${_page}.1 DESTINATION share/man/man1)
endforeach()

# The prefix is known only when installing (--prefix overrides the configured one), so the
# steps that name it run then.
install(CODE "
  set(OMBRIX_SOURCE_DIR \"${CMAKE_SOURCE_DIR}\")
  set(OMBRIX_INSTALL_FOLDER \"${OMBRIX_INSTALL_FOLDER}\")
  set(OMBRIX_APP_ID \"${OMBRIX_APP_ID}\")
  include(\"${CMAKE_SOURCE_DIR}/cmake/OmbrixInstallSteps.cmake\")
")
