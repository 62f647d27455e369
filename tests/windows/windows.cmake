# The Windows build's own tests, beside the unit tests (included from
# tests/CMakeLists.txt when building for Windows).

# The report tests embed the PDF fonts: the test programs find them beside
# themselves, as the program does.
set(font_copies)
foreach(font ${VANTREL_PDF_FONTS})
  list(APPEND font_copies COMMAND ${CMAKE_COMMAND} -E copy ${FONT_${font}} ${CMAKE_CURRENT_BINARY_DIR}/)
endforeach()
add_custom_target(test_pdf_fonts ALL ${font_copies})

# vantrel.exe starts under Wine in a copy of the program folder, creates its
# database and settings file there and ends (no toolkit runs yet).
add_test(NAME windows_program_starts
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/windows/program_starts.sh ${VANTREL_PROGRAM_DIR}
          ${CMAKE_SOURCE_DIR}/scripts/wine-run)
# Without a display (an empty VANTREL_WINE_DISPLAY), in a Wine prefix of its
# own (the shared one's desktop has the display of the gui tests): the program
# then makes no windows and ends by itself.
set_tests_properties(windows_program_starts PROPERTIES LABELS unit TIMEOUT 300
  ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix-nodisplay;VANTREL_WINE_DISPLAY=")

# What the update's installer is in the platform test: it notes its arguments.
add_executable(installer_standin WIN32 ${CMAKE_CURRENT_SOURCE_DIR}/windows/installer_standin_win32.cpp)
target_link_options(installer_standin PRIVATE -municode)
add_dependencies(desktop_platform_win32_test installer_standin)
set_property(TEST desktop_platform_win32_test APPEND PROPERTY ENVIRONMENT
  "VANTREL_INSTALLER_STANDIN=$<TARGET_FILE:installer_standin>")

# A test that holds the running instance's mutex keeps every other start of
# vantrel.exe in the Wine prefix from running meanwhile.
set_tests_properties(windows_program_starts desktop_platform_win32_test PROPERTIES
  RESOURCE_LOCK vantrel_instance)

# The installer installs, upgrades and uninstalls silently in a scratch Wine
# prefix, and never touches the user's data (tests/windows/installer.sh).
add_test(NAME windows_installer
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/windows/installer.sh ${VANTREL_INSTALLER} ${PROJECT_VERSION}
          ${VANTREL_PROGRAM_DIR} $<TARGET_FILE:installer_standin> ${CMAKE_COMMAND}
          ${VANTREL_MAKE_INSTALLER_SCRIPT}
          -DMAKENSIS=${MAKENSIS} -DSCRIPT=${CMAKE_SOURCE_DIR}/packaging/windows/vantrel.nsi
          -DPROGRAM_DIR=${VANTREL_PROGRAM_DIR})
set_tests_properties(windows_installer PROPERTIES LABELS install TIMEOUT 900)
