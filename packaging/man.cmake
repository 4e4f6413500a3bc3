# Turns the manual pages, written for scdoc, into compressed roff at build time and installs them in section 6.

find_program(SCDOC scdoc)
if(NOT SCDOC)
  message(FATAL_ERROR "scdoc writes the manual pages: install scdoc (./run.sh does)")
endif()

# The pages are dated by the newest release, not by the day of the build, so that builds agree.
tilerush_epoch_seconds(release_epoch ${release_1_date} ${release_1_time})

set(man_pages)
foreach(page tilerush tilerush-sim)
  set(source ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.6.scd)
  set(roff ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.6)
  configure_file(man/${page}.6.scd ${source} @ONLY)
  add_custom_command(OUTPUT ${roff}.gz
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${release_epoch}
      sh -c "\"$0\" < \"$1\" > \"$2\" && gzip -9nf \"$2\"" ${SCDOC} ${source} ${roff}
    DEPENDS ${source}
    COMMENT "Writing the manual page ${page}(6)"
    VERBATIM)
  list(APPEND man_pages ${roff}.gz)
endforeach()
add_custom_target(tilerush_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
