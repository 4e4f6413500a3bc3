# Run by CPack on its staged install, before it packs the .deb: puts the programs where Debian wants a game's.

# Debian's games policy puts a game's programs in /usr/games; an install into a prefix keeps
# them in bin/, which every PATH holds.
set(usr ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr)
file(GLOB programs ${usr}/bin/*)
file(MAKE_DIRECTORY ${usr}/games)
foreach(program IN LISTS programs)
  get_filename_component(name ${program} NAME)
  file(RENAME ${program} ${usr}/games/${name})
  # The compiler's version notes are of no use to a player; Debian's own packages drop them too.
  execute_process(COMMAND ${CPACK_TILERUSH_OBJCOPY} --remove-section=.comment ${usr}/games/${name}
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
# Every program has moved, and an empty usr/bin would only clutter the package.
file(REMOVE_RECURSE ${usr}/bin)
