# Writes the word list one word a line (CR LF) from a plain word file.
if(NOT EXISTS "${IN}")
  message(FATAL_ERROR "${IN} is missing: install the Debian package wamerican")
endif()
file(STRINGS "${IN}" words ENCODING UTF-8)
list(JOIN words "\r\n" text)
file(WRITE "${OUT}" "${text}\r\n")
