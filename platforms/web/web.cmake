# The browser build: the game alone, as one self-contained page,
# build-web/skirmlings.html. SDL's base path is "/" in a page, so the bitmaps
# are embedded at the root of the page's in-memory file system, and the
# session log is written there too, where the page reads it.
set(SKIRMLINGS_PAGE_SHELL ${CMAKE_CURRENT_LIST_DIR}/shell.html)
file(GLOB PAGE_BITMAPS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*.bmp)

set_target_properties(skirmlings PROPERTIES SUFFIX ".html"
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# ASYNCIFY lets the frame loop hand the page a turn while it waits.
target_link_options(skirmlings PRIVATE -sASYNCIFY -sSINGLE_FILE=1
                    -sEXPORTED_RUNTIME_METHODS=FS -sMINIFY_HTML=0
                    "SHELL:--shell-file ${SKIRMLINGS_PAGE_SHELL}")
foreach(bitmap ${PAGE_BITMAPS})
  get_filename_component(name ${bitmap} NAME)
  target_link_options(skirmlings PRIVATE "SHELL:--embed-file ${bitmap}@/${name}")
endforeach()
set_property(TARGET skirmlings APPEND PROPERTY LINK_DEPENDS ${SKIRMLINGS_PAGE_SHELL} ${PAGE_BITMAPS})
