# Installation and the Debian package.
#   cmake --install <build> [--prefix <dir>]     the files below, under <prefix>
#   cd <build> && cpack -G DEB                   quorvane_<version>_<arch>.deb
# Installed: the program with its archive module (lib/.../quorvane/), the set-up tool, the asset
# tool, the launcher quorvane-avvio, and in
# share/quorvane/ a ready data folder (the pictures, an empty results database and the export
# template), plus the menu entry, the icon and the geographic data's attribution and licences.
include(GNUInstallDirs)

set(QV_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(QV_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/quorvane)

# An empty prepared data folder, made by the set-up tool itself so it always matches the
# program's tables. Made afresh each time, so it never holds anything but the templates.
set(QV_TEMPLATE_DIR ${PROJECT_BINARY_DIR}/template/Perquorvane)
add_custom_command(
  OUTPUT ${QV_TEMPLATE_DIR}/quorvane.mdb ${QV_TEMPLATE_DIR}/expquorvane.mdb
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${QV_TEMPLATE_DIR}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:mkquorvane> ${QV_TEMPLATE_DIR}
  DEPENDS mkquorvane
  COMMENT "Preparing the empty results database and the export template")
add_custom_target(dbtemplate ALL DEPENDS ${QV_TEMPLATE_DIR}/quorvane.mdb ${QV_TEMPLATE_DIR}/expquorvane.mdb)

# The icon as PNG at the usual sizes, drawn like the hand-written SVG.
set(QV_ICON_SIZES 32 48 64 128 256)
set(QV_ICON_DIR ${PROJECT_BINARY_DIR}/icons)
add_executable(mkicon ${QV_PACKAGING_DIR}/mkicon.cpp)
target_link_libraries(mkicon PRIVATE Qt6::Gui)
set(QV_ICON_FILES "")
foreach(size ${QV_ICON_SIZES})
  list(APPEND QV_ICON_FILES ${QV_ICON_DIR}/${size}x${size}/apps/quorvane.png)
endforeach()
add_custom_command(
  OUTPUT ${QV_ICON_FILES}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:mkicon> ${QV_ICON_DIR} ${QV_ICON_SIZES}
  DEPENDS mkicon
  COMMENT "Drawing the program's icon")
add_custom_target(icons ALL DEPENDS ${QV_ICON_FILES})

install(TARGETS quorvane mkquorvane mkassets RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS quorvane_archivio LIBRARY DESTINATION ${QV_MODULE_DIR})
install(PROGRAMS ${QV_PACKAGING_DIR}/quorvane-avvio.sh
        DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME quorvane-avvio)

# The pictures the asset tool draws at build time (see the top CMakeLists: ASSET_DIR).
install(FILES ${ASSET_DIR}/formavvio3.jpg ${ASSET_DIR}/itafis3.bmp ${ASSET_DIR}/itareg2.bmp
        DESTINATION ${QV_SHARE_DIR})
install(FILES ${QV_TEMPLATE_DIR}/quorvane.mdb ${QV_TEMPLATE_DIR}/expquorvane.mdb
        DESTINATION ${QV_SHARE_DIR})

install(FILES ${QV_PACKAGING_DIR}/quorvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QV_PACKAGING_DIR}/quorvane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size ${QV_ICON_SIZES})
  install(FILES ${QV_ICON_DIR}/${size}x${size}/apps/quorvane.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The project's licence, where Debian looks for a package's copyright.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright)

# The maps are drawn from Natural Earth and GSHHG data: their attribution and licences go along.
set(QV_GEO_DIR ${PROJECT_SOURCE_DIR}/data/geo)
if(EXISTS ${QV_GEO_DIR}/README.md)
  install(FILES ${QV_GEO_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR}/geo)
endif()
file(GLOB QV_GEO_LICENCES ${QV_GEO_DIR}/gshhg/*.txt)
if(QV_GEO_LICENCES)
  install(FILES ${QV_GEO_LICENCES} DESTINATION ${CMAKE_INSTALL_DOCDIR}/geo/gshhg)
endif()

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Squadra Quorvane")
set(CPACK_PACKAGE_CONTACT "Squadra Quorvane <quorvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "prove di italiano, storia e geografia per la scuola media")
set(CPACK_PACKAGE_DESCRIPTION "Quorvane propone agli alunni prove di comprensione della lettura, di analisi \
grammaticale e logica, di storia e di geografia, con punteggi e tempi; l'insegnante consulta \
l'archivio dei risultati, stampa le schede e raccoglie i risultati di più computer.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Squadra Quorvane <quorvane@example.org>")
# The database drivers and the speech engine are plugins, speech-dispatcher and its Italian
# voice a service, the fonts and Qt's Italian texts data: no linker sees them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, fonts-liberation, fonts-opendyslexic, qt6-translations-l10n, qt6-speech-speechd-plugin, speech-dispatcher, speech-dispatcher-espeak-ng")
find_program(QV_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(QV_DPKG_SHLIBDEPS)
  # Adds the libraries the binaries link against (Qt Widgets, Print Support, ...).
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
         ", libqt6widgets6, libqt6printsupport6, libqt6charts6, libqt6texttospeech6, libqt6gui6, libqt6sql6, libqt6core6, libsodium23, liblcms2-2, libsqlite3-0")
endif()
include(CPack)
