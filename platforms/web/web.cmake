# The browser build: the game alone, as one self-contained page,
# build-web/skirmlings.html. SDL's base path is "/" in a page, so the bitmaps
# go at the root of the page's in-memory file system, and the session log is
# written there too, where the page reads it.
#
# emscripten links the game into skirmlings.js and skirmlings.wasm;
# page.cmake then puts both, gzipped, the page's own script (page.js) and
# the game's icon (its favicon) into shell.html.
set_target_properties(skirmlings PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
# ASYNCIFY lets the frame loop hand the page a turn while it waits, and SDL
# hand it one after each picture it presents. Only the functions on the
# stack at those moments need its instrumentation: main (WinMain, its loop
# and SDL_UpdateWindowSurface are folded into it, each having one caller)
# and SDL's framebuffer update. Built for size: the page is the download.
target_link_options(skirmlings PRIVATE -Oz -sASYNCIFY
                    "-sASYNCIFY_ONLY=['main','Emscripten_UpdateWindowFramebuffer']"
                    -sENVIRONMENT=web -sMALLOC=emmalloc -sEXPORTED_RUNTIME_METHODS=FS)
# The bitmaps travel gzipped, a fifteenth of their size; the page inflates
# them into the file system before the game starts, so it reads the same
# bytes as on the desktop.
file(GLOB PAGE_BITMAPS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*.bmp)
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

# The page is made again whenever the game is linked, and the game is linked
# again when the page's parts change.
set(page_parts ${CMAKE_CURRENT_LIST_DIR}/shell.html ${CMAKE_CURRENT_LIST_DIR}/page.js
    ${CMAKE_CURRENT_LIST_DIR}/page.cmake ${CMAKE_SOURCE_DIR}/res/icons/skirmlings-32.png)
set_property(TARGET skirmlings APPEND PROPERTY LINK_DEPENDS ${packed_bitmaps} ${page_parts})
add_custom_command(TARGET skirmlings POST_BUILD
                   COMMAND ${CMAKE_COMMAND} -DDIR=${CMAKE_CURRENT_LIST_DIR} -DGAME=${CMAKE_BINARY_DIR}/skirmlings
                           -DICON=${CMAKE_SOURCE_DIR}/res/icons/skirmlings-32.png
                           -DPAGE=${CMAKE_BINARY_DIR}/skirmlings.html -P ${CMAKE_CURRENT_LIST_DIR}/page.cmake
                   VERBATIM)
