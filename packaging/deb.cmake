# CPack settings for the Debian packages: `cpack --config <build>/CPackConfig.cmake` writes
# tilerush_<version>_<arch>.deb, and tilerush-board_<version>_<arch>.deb where the board's
# server is built: one package for each component.

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game)
if(TARGET tilerush-board)
  list(APPEND CPACK_COMPONENTS_ALL board)
endif()
set(CPACK_PACKAGE_NAME tilerush)
set(CPACK_PACKAGE_VENDOR "Tilerush developers")
set(CPACK_PACKAGE_CONTACT "${TILERUSH_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_GAME_PACKAGE_NAME tilerush)
# Debian shows the extended description as written, so its lines are kept short by hand;
# the first line is the summary.
set(CPACK_DEBIAN_GAME_DESCRIPTION "brick-breaking arcade game with replays\n\
Steer a paddle with the arrow keys and keep a ball in play while it\n\
knocks out numbered bricks, whose number is their strength and whose colour\n\
tells it. Five built-in levels, a six-digit score and best score, up to six\n\
lives; P pauses the game.\n\
.\n\
Every game can be recorded and watched again. A replay is a script that\n\
tilerush-sim, installed with the game, plays without a window to check\n\
that it still ends as recorded.")
set(CPACK_DEBIAN_BOARD_PACKAGE_NAME tilerush-board)
set(CPACK_DEBIAN_BOARD_PACKAGE_SECTION net)
set(CPACK_DEBIAN_BOARD_DESCRIPTION "score board for Tilerush that checks every game it is sent\n\
A public score board for Tilerush over HTTP. A score reaches the board\n\
only with the replay of its game: the server plays the replay through the\n\
game's own core and ranks the game by the score it finds itself. It keeps\n\
its entries in SQLite, or in PostgreSQL shared by several servers, and can\n\
serve the game's web page beside its API. A systemd unit runs it with its\n\
database in /var/lib/tilerush-board.")
# The build tree's binary carries debug information; players do not need it.
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/deb_games.cmake)
set(CPACK_TILERUSH_OBJCOPY ${CMAKE_OBJCOPY})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_GAME_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps finds the Qt and C++ runtime packages from what the binary links;
# libqt6widgets6 pulls in libqt6gui6, which brings the X11 platform plugin.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads fonts at run time, so no linker can see them. The window asks for faces that these
# packages stand in for, and without them captions lose their place in the layout. The Chinese
# face only dresses the Pause button, which falls back to Liberation Serif well enough.
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS "fonts-liberation2, fonts-open-sans, fonts-dancingscript")
# Qt's Wayland plugin lets the window run natively on a Wayland desktop; without it Qt
# still runs there, through XWayland, so it is recommended rather than required.
set(CPACK_DEBIAN_GAME_PACKAGE_RECOMMENDS "fonts-arphic-uming, qt6-wayland")

include(CPack)
