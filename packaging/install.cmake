# Installing like a desktop program: `cmake --install build --prefix /usr/local`
# puts the executable in bin/, its resources in share/vantrel/ (where the
# program looks for them when it runs from bin/), the desktop entry, the icon
# and the AppStream metadata where desktops find them. `cpack -G DEB` in the
# build folder packs the same tree as vantrel_<version>_<arch>.deb.
include(GNUInstallDirs)

set(VANTREL_APP_ID com.example.vantrel)

install(TARGETS vantrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program folder as built, so the help holds the screenshots made by the
# build; the icon sources are not needed at run time.
install(DIRECTORY ${VANTREL_PROGRAM_DIR}/Images ${VANTREL_PROGRAM_DIR}/Help
  DESTINATION ${CMAKE_INSTALL_DATADIR}/vantrel
  PATTERN "svg" EXCLUDE)
install(FILES ${VANTREL_PROGRAM_DIR}/History.rtf ${VANTREL_PROGRAM_DIR}/en_US.dic
  DESTINATION ${CMAKE_INSTALL_DATADIR}/vantrel)

install(FILES ${CMAKE_SOURCE_DIR}/packaging/${VANTREL_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${VANTREL_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/resources/Images/svg/vantrel.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
  RENAME ${VANTREL_APP_ID}.svg)
foreach(size 48 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/Images/vantrel-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${VANTREL_APP_ID}.png)
endforeach()

# Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "Kelvora")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Quarterly Issues & Programs list manager for broadcast stations")
set(CPACK_PACKAGE_DESCRIPTION
  "Vantrel keeps a radio or television station's quarterly Issues & Programs list: the community issues it identified, the programs that addressed them with every air date and time, and the list printed as a PDF for the station's public file.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kelvora <support@example.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.example.com/vantrel")
# Libraries come from dpkg-shlibdeps; the font that sets the program's
# character units and the desktop helpers that open PDFs, help and mail are
# not linked, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "evince | okular | mupdf | pdf-viewer")
include(CPack)

if(VANTREL_TESTS)
  # Install into a scratch DESTDIR, validate the desktop files, play a
  # scenario against the installed program and build the .deb.
  add_test(NAME install_desktop_program
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/install/install_test.sh
            ${CMAKE_BINARY_DIR} $<TARGET_FILE:vantrel_scenario> ${CMAKE_SOURCE_DIR})
  set_tests_properties(install_desktop_program PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen" LABELS install TIMEOUT 600)
endif()
