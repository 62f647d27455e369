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
# Without a display (an empty VANTREL_WINE_DISPLAY): the program then makes no
# windows and ends by itself.
set_tests_properties(windows_program_starts PROPERTIES LABELS unit TIMEOUT 300
  ENVIRONMENT "${VANTREL_TEST_ENV};VANTREL_WINE_DISPLAY=")
