# Installing: the three programs, the desktop entry with its icon (so Talvane
# appears in the desktop's menu), the man pages and the README. CPack builds a
# Debian package from the same rules: `cpack -G DEB` in the build folder.
include(GNUInstallDirs)

install(TARGETS talvane-cli talvane-modemsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TALVANE_WITH_QT)
  install(TARGETS talvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/data/talvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/data/talvane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

foreach(page talvane talvane-cli talvane-modemsim)
  configure_file(${PROJECT_SOURCE_DIR}/data/man/${page}.1 ${PROJECT_BINARY_DIR}/man/${page}.1 @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/man/${page}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/talvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME talvane)
set(CPACK_PACKAGE_VENDOR "Talvane")
set(CPACK_PACKAGE_CONTACT "Talvane developers <talvane@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Send one SMS text to a list of mobile numbers through a GSM modem")
set(CPACK_PACKAGE_DESCRIPTION
    "Talvane loads numbers from a spreadsheet, sends one text to each of them through a GSM modem or phone on a serial port and marks every number of a result workbook sent or failed.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
# The libraries the programs link come from dpkg-shlibdeps; the fonts the
# window is designed with and Qt's Polish texts (file dialog, box buttons) are
# recommended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine, fonts-dejavu-core, fonts-liberation, qt6-translations-l10n")
include(CPack)
