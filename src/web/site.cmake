# Makes the site to publish, from the build folder: every versioned file under
# v/VERSION/, VERSION the first 16 hex digits of a digest of their names and contents;
# index.html and the service worker with the version (and the worker with the list of
# files it precaches) put in; the manifest and icons beside them, under their own names.
# Inputs: STAGE (the build folder), SOURCES (the unversioned files), SITE, VERSIONED
# (the versioned files' paths in STAGE, separated by |).
string(REPLACE "|" ";" files "${VERSIONED}")
list(SORT files)
set(digests "")
foreach(name ${files})
  file(SHA256 ${STAGE}/${name} digest)
  string(APPEND digests "${name} ${digest}\n")
endforeach()
# The unversioned files count too: a new index.html is a new version for the worker.
file(GLOB sources RELATIVE ${SOURCES} ${SOURCES}/*)
list(SORT sources)
foreach(name ${sources})
  file(SHA256 ${SOURCES}/${name} digest)
  string(APPEND digests "/${name} ${digest}\n")
endforeach()
string(SHA256 VERSION "${digests}")
string(SUBSTRING ${VERSION} 0 16 VERSION)

file(REMOVE_RECURSE ${SITE})
set(list "  './',\n")
foreach(name ${files})
  get_filename_component(folder ${name} DIRECTORY)
  file(COPY ${STAGE}/${name} DESTINATION ${SITE}/v/${VERSION}/${folder})
  string(APPEND list "  'v/${VERSION}/${name}',\n")
endforeach()
file(GLOB icons RELATIVE ${SOURCES} ${SOURCES}/icon*)
foreach(name manifest.webmanifest ${icons})
  file(COPY ${SOURCES}/${name} DESTINATION ${SITE})
  string(APPEND list "  '${name}',\n")
endforeach()
set(FILES "${list}")
# The page's head asks at once for what its first frame needs: the game's faces, and
# every module page.js and start.js import, and theirs in turn (both are scripts of the
# head), each by its line `import ... from './NAME.js'`.
set(FONT_PRELOADS "")
foreach(name ${files})
  if(name MATCHES "^fonts/.*\\.woff$")
    string(APPEND FONT_PRELOADS "<link rel=\"preload\" href=\"v/${VERSION}/${name}\" as=\"fetch\" crossorigin>\n")
  endif()
endforeach()
set(pending page.js start.js)
set(modules "")
while(pending)
  list(POP_FRONT pending name)
  # A line with a `;` comes as two items; the name is in the first.
  file(STRINGS ${STAGE}/${name} lines REGEX "from '\\./[a-z0-9-]+\\.js'")
  foreach(line ${lines})
    string(REGEX MATCH "from '\\./([a-z0-9-]+\\.js)'" found "${line}")
    if(found)
      set(imported ${CMAKE_MATCH_1})
      list(FIND modules ${imported} known)
      if(known EQUAL -1 AND NOT imported MATCHES "^(page|start)\\.js$")
        list(APPEND modules ${imported})
        list(APPEND pending ${imported})
      endif()
    endif()
  endforeach()
endwhile()
# crossing.js, which start.js imports, is in the page's head ahead of the rest.
list(REMOVE_ITEM modules crossing.js)
set(MODULE_PRELOADS "")
foreach(name ${modules})
  string(APPEND MODULE_PRELOADS "<link rel=\"modulepreload\" href=\"v/${VERSION}/${name}\">\n")
endforeach()
configure_file(${SOURCES}/index.html ${SITE}/index.html @ONLY)
configure_file(${SOURCES}/service-worker.js ${SITE}/service-worker.js @ONLY)
# Where no board answers /api/v1/, a static host finds this there instead of a 404.
configure_file(${SOURCES}/no-board.html ${SITE}/api/v1/index.html COPYONLY)
