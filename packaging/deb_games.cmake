# Run by CPack on its staged install, before it packs the .debs: puts the game's programs
# where Debian wants a game's, and drops what no user needs from every program.

# Each package is staged in a folder of its own. Debian's games policy puts a game's
# programs in /usr/games; an install into a prefix keeps them in bin/, which every PATH
# holds. The board's server is no game, and stays in /usr/bin.
set(usr ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/game/usr)
file(GLOB programs ${usr}/bin/*)
file(MAKE_DIRECTORY ${usr}/games)
foreach(program IN LISTS programs)
  get_filename_component(name ${program} NAME)
  file(RENAME ${program} ${usr}/games/${name})
endforeach()
# Every program has moved, and an empty usr/bin would only clutter the package.
file(REMOVE_RECURSE ${usr}/bin)

# The compiler's version notes are of no use to a user; Debian's own packages drop them too.
file(GLOB programs ${usr}/games/* ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/board/usr/bin/*)
foreach(program IN LISTS programs)
  execute_process(COMMAND ${CPACK_TILERUSH_OBJCOPY} --remove-section=.comment ${program} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
