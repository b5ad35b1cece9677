# Install layout and the Debian package (./package.sh). The program finds its shipped data at
# bin/../share/miratos and lays out a per-user app folder from it on first start.
include(GNUInstallDirs)

install(TARGETS miratos RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES "${CMAKE_SOURCE_DIR}/data/Init.ini" DESTINATION ${CMAKE_INSTALL_DATADIR}/miratos)
install(FILES "${CMAKE_SOURCE_DIR}/data/MapData/公共施設.ini" DESTINATION ${CMAKE_INSTALL_DATADIR}/miratos/MapData)
install(FILES "${CMAKE_CURRENT_LIST_DIR}/miratos.desktop" DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${CMAKE_CURRENT_LIST_DIR}/miratos.svg" DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME miratos)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "Miratos developers <miratos@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "blank maps of Japan with statistics (ミラトス)")
set(CPACK_PACKAGE_DESCRIPTION
    "Miratos draws blank maps of Japan by prefecture and municipality and paints statistics on them.\nIt imports government open data into its own data folder.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# Dependencies from the shared libraries actually linked, plus what is loaded without linking:
# the Japanese font the maps are drawn with, and Qt's Japanese dialog texts.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
