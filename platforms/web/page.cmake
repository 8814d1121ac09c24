# Makes the one self-contained page from its parts:
#   cmake -DDIR=platforms/web -DGAME=build/skirmlings -DICON=icon.png
#         -DPAGE=build/skirmlings.html -P page.cmake
# GAME.js and GAME.wasm are emscripten's; DIR holds shell.html and page.js.
# The game's WebAssembly and script travel gzipped as base64, about half
# their size, and the page inflates them as it starts; the icon travels as
# it is.
function(encode var)
  execute_process(${ARGN} COMMAND base64 -w0 OUTPUT_VARIABLE out RESULTS_VARIABLE codes)
  if(NOT codes MATCHES "^0(;0)*$")
    message(FATAL_ERROR "Could not encode for the page: ${ARGN} (${codes})")
  endif()
  set(${var} "${out}" PARENT_SCOPE)
endfunction()

encode(GAME_WASM COMMAND gzip -9 -n -c ${GAME}.wasm)
encode(GAME_SCRIPT COMMAND gzip -9 -n -c ${GAME}.js)
encode(FAVICON COMMAND cat ${ICON})
file(READ ${DIR}/page.js PAGE_SCRIPT)
configure_file(${DIR}/shell.html ${PAGE} @ONLY)
