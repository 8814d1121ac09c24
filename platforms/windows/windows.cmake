# The game for 64-bit Windows: one GUI program (no console) with SDL and the
# C++ runtime linked in, so the zip needs no DLLs beside it. Included by the
# top-level CMakeLists.txt when the target is Windows.

# The C runtime's GUI start-up calls WinMain, which g++ for mingw names as
# plain C. It is the game's own and lives in the core library, which the
# linker has already passed by the time the start-up asks for it, so it is
# asked for up front. The plain main() of the Linux build is left out.
enable_language(RC)
set(SKIRMLINGS_ICO ${CMAKE_SOURCE_DIR}/res/icons/skirmlings.ico)
configure_file(${CMAKE_CURRENT_LIST_DIR}/skirmlings.rc.in skirmlings.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/skirmlings.rc PROPERTIES OBJECT_DEPENDS ${SKIRMLINGS_ICO})
add_executable(skirmlings WIN32 ${CMAKE_BINARY_DIR}/skirmlings.rc)
target_link_libraries(skirmlings PRIVATE skirmlings_core)
# No link time stamp in the program, so a rebuild gives the same bytes.
target_link_options(skirmlings PRIVATE -static -Wl,--undefined=WinMain -Wl,--no-insert-timestamp -s)

# Windows paths use backslashes, so the log names the game's source files
# that way too (src\game\game.cpp).
foreach(folder game man share)
  target_compile_options(skirmlings_core PRIVATE
    "-fmacro-prefix-map=${CMAKE_SOURCE_DIR}/src/${folder}/=src\\${folder}\\")
endforeach()

# The download: skirmlings-windows.zip holding the installed layout
# (bin\skirmlings.exe, res\*.bmp) in a folder of that name.
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME skirmlings)
set(CPACK_PACKAGE_FILE_NAME skirmlings-windows)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
