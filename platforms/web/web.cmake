# The browser build: the game alone, as one self-contained page,
# build-web/skirmlings.html. SDL's base path is "/" in a page, so the bitmaps
# go at the root of the page's in-memory file system, and the session log is
# written there too, where the page reads it.
#
# The page's own script, page.js, goes into its shell, and so does the
# game's icon, byte by byte, as its favicon.
file(READ ${CMAKE_CURRENT_LIST_DIR}/page.js PAGE_SCRIPT)
file(READ ${CMAKE_SOURCE_DIR}/res/icons/skirmlings-32.png FAVICON HEX)
string(REGEX REPLACE "(..)" "%\\1" FAVICON "${FAVICON}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/page.js
             ${CMAKE_SOURCE_DIR}/res/icons/skirmlings-32.png)
set(SKIRMLINGS_PAGE_SHELL ${CMAKE_BINARY_DIR}/shell.html)
configure_file(${CMAKE_CURRENT_LIST_DIR}/shell.html ${SKIRMLINGS_PAGE_SHELL} @ONLY)
file(GLOB PAGE_BITMAPS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*.bmp)

set_target_properties(skirmlings PROPERTIES SUFFIX ".html"
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# ASYNCIFY lets the frame loop hand the page a turn while it waits.
target_link_options(skirmlings PRIVATE -sASYNCIFY -sSINGLE_FILE=1
                    -sEXPORTED_RUNTIME_METHODS=FS -sMINIFY_HTML=0
                    "SHELL:--shell-file ${SKIRMLINGS_PAGE_SHELL}")
# The bitmaps travel gzipped, a fifteenth of their size; the page inflates
# them into the file system before the game starts, so it reads the same
# bytes as on the desktop.
set(packed_bitmaps)
foreach(bitmap ${PAGE_BITMAPS})
  get_filename_component(name ${bitmap} NAME)
  set(packed ${CMAKE_BINARY_DIR}/packed/${name}.gz)
  add_custom_command(OUTPUT ${packed} DEPENDS ${bitmap}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packed
                     COMMAND gzip -9 -n -c ${bitmap} > ${packed} VERBATIM)
  target_link_options(skirmlings PRIVATE "SHELL:--embed-file ${packed}@/${name}.gz")
  list(APPEND packed_bitmaps ${packed})
endforeach()
add_custom_target(packed_bitmaps DEPENDS ${packed_bitmaps})
add_dependencies(skirmlings packed_bitmaps)
set_property(TARGET skirmlings APPEND PROPERTY LINK_DEPENDS ${SKIRMLINGS_PAGE_SHELL} ${packed_bitmaps})
