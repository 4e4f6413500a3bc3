# Renders the application icon's PNG sizes from its SVG at build time and installs them all in the hicolor theme.

# The SVG is the only drawing; the PNGs are made from it so that they can never drift apart.
find_program(RSVG_CONVERT rsvg-convert)
if(NOT RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert draws the icons: install librsvg2-bin (./run.sh does)")
endif()

set(icon_svg ${CMAKE_CURRENT_SOURCE_DIR}/icons/${TILERUSH_APP_ID}.svg)
set(icon_theme_dir ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# The sizes menus, docks and software centres ask the hicolor theme for.
set(icon_sizes 16 22 24 32 48 64 128 256)
set(icon_pngs)
foreach(size IN LISTS icon_sizes)
  set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/${TILERUSH_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${icon_svg}
    DEPENDS ${icon_svg}
    COMMENT "Rendering the ${size}x${size} icon"
    VERBATIM)
  list(APPEND icon_pngs ${png})
  install(FILES ${png} DESTINATION ${icon_theme_dir}/${size}x${size}/apps)
endforeach()
add_custom_target(tilerush_icons ALL DEPENDS ${icon_pngs})

install(FILES ${icon_svg} DESTINATION ${icon_theme_dir}/scalable/apps)
