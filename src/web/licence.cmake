# Writes a font's licence: its Debian copyright file, and the full text of a licence
# that file only names. Inputs: OUT, COPYRIGHT, FULL_TEXT (may be empty).
file(READ ${COPYRIGHT} text)
if(FULL_TEXT)
  file(READ ${FULL_TEXT} full)
  string(APPEND text "\n${full}")
endif()
file(WRITE ${OUT} "${text}")
