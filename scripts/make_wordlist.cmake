# Writes the word list one word a line (CR LF) from a plain word file, in
# ascending byte order (upper case before lower case, "é" after "z"): the
# editor's prefix search stops at the first entry that sorts after the text.
if(NOT EXISTS "${IN}")
  message(FATAL_ERROR "${IN} is missing: install the Debian package wamerican")
endif()
file(STRINGS "${IN}" words ENCODING UTF-8)
list(SORT words COMPARE STRING CASE SENSITIVE ORDER ASCENDING)
list(REMOVE_DUPLICATES words)
list(JOIN words "\r\n" text)
file(WRITE "${OUT}" "${text}\r\n")
