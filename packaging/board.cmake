# The board's server as a package of its own beside the game's, tilerush-board: it is no
# game, so its program goes in /usr/bin, with a systemd unit that runs it under a user of
# its own with its database in /var/lib/tilerush-board, and its own licence and changelog.
install(TARGETS tilerush-board RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT board)
install(FILES tilerush-board.service DESTINATION lib/systemd/system COMPONENT board)
set(board_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tilerush-board)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${board_doc_dir} RENAME copyright COMPONENT board)
tilerush_debian_changelog(board_changelog tilerush-board "${TILERUSH_PACKAGE_MAINTAINER}")
file(CONFIGURE OUTPUT board/changelog CONTENT "@board_changelog@" @ONLY)
add_custom_command(OUTPUT board/changelog.gz
  COMMAND gzip -9nkf board/changelog
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/board/changelog
  COMMENT "Compressing the board's changelog"
  VERBATIM)
add_custom_target(tilerush_board_changelog ALL DEPENDS board/changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/board/changelog.gz DESTINATION ${board_doc_dir} COMPONENT board)
