# Turns the manual pages, written for scdoc, into compressed roff at build time and installs them: the
# game's in section 6, the board server's in section 1.

find_program(SCDOC scdoc)
if(NOT SCDOC)
  message(FATAL_ERROR "scdoc writes the manual pages: install scdoc (./run.sh does)")
endif()

# The pages are dated by the newest release, not by the day of the build, so that builds agree.
tilerush_epoch_seconds(release_epoch ${release_1_date} ${release_1_time})

set(man_pages)
# Each page as NAME:SECTION:COMPONENT; the board's server is a command of its own package.
set(pages tilerush:6:game tilerush-sim:6:game)
if(TARGET tilerush-board)
  list(APPEND pages tilerush-board:1:board)
endif()
foreach(entry ${pages})
  string(REPLACE ":" ";" entry ${entry})
  list(GET entry 0 page)
  list(GET entry 1 section)
  list(GET entry 2 component)
  set(source ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.${section}.scd)
  set(roff ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.${section})
  configure_file(man/${page}.${section}.scd ${source} @ONLY)
  add_custom_command(OUTPUT ${roff}.gz
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${release_epoch}
      sh -c "\"$0\" < \"$1\" > \"$2\" && gzip -9nf \"$2\"" ${SCDOC} ${source} ${roff}
    DEPENDS ${source}
    COMMENT "Writing the manual page ${page}(${section})"
    VERBATIM)
  list(APPEND man_pages ${roff}.gz)
  install(FILES ${roff}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section} COMPONENT ${component})
endforeach()
add_custom_target(tilerush_man_pages ALL DEPENDS ${man_pages})
