# Installation and the Debian package: programs in bin/, everything they
# load in share/a320-display/, a launcher that runs the display from there.
set(A320_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/a320-display)

file(RELATIVE_PATH A320_SHARE_FROM_BIN /${CMAKE_INSTALL_BINDIR} /${A320_SHARE_DIR})
configure_file(${CMAKE_CURRENT_LIST_DIR}/a320-display-start.in ${CMAKE_BINARY_DIR}/packaging/a320-display-start @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/a320-display-start DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/a320-display.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/flightgear/a320-display.xml DESTINATION ${A320_SHARE_DIR}/flightgear)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/a320-display)

set(CPACK_PACKAGE_NAME a320-display)
set(CPACK_PACKAGE_VERSION 1.0.0)
set(CPACK_PACKAGE_VENDOR "a320-display developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Glass instruments of an A320 flight-simulator cockpit")
set(CPACK_PACKAGE_CONTACT "a320-display developers <a320-display@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The libraries the programs link come from dpkg-shlibdeps; these are the
# ones loaded at run time: the GL driver and Qt's window-system plugin.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri, libegl-mesa0, libglu1-mesa, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "flightgear")
include(CPack)
