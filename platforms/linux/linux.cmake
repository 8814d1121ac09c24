# The Linux downloads, laid out by SKIRMLINGS_PACKAGE; linux.sh builds both.
#   deb:     skirmlings_VERSION_amd64.deb for Debian and Ubuntu, on Debian's
#            SDL, whose package it depends on through dpkg-shlibdeps;
#   tarball: skirmlings-linux-x86_64.tar.gz, one folder with bin/ and res/
#            as the Windows zip has, SDL linked in; linux.sh packs what
#            the install puts in skirmlings-VERSION-linux-x86_64.
# Included by the top-level CMakeLists.txt after the game's install rules.
set(linux ${CMAKE_CURRENT_LIST_DIR})
set(CPACK_PACKAGE_NAME skirmlings)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_STRIP_FILES ON)

if(SKIRMLINGS_PACKAGE STREQUAL "tarball")
  # The C++ runtime goes in too: only the C library and what SDL loads by
  # itself (X11 or Wayland) are the player's system's.
  target_link_options(skirmlings PRIVATE -static-libstdc++ -static-libgcc)
  install(FILES ${CMAKE_SOURCE_DIR}/res/icons/skirmlings-256.png DESTINATION . RENAME skirmlings.png)
  return()
endif()
if(NOT SKIRMLINGS_PACKAGE STREQUAL "deb")
  message(FATAL_ERROR "SKIRMLINGS_PACKAGE is deb or tarball, not ${SKIRMLINGS_PACKAGE}")
endif()

set(docs ${CMAKE_BINARY_DIR}/linux)
file(MAKE_DIRECTORY ${docs})
# Nobody owns a domain for the game yet, so its AppStream id is a
# placeholder in the one domain kept for that.
set(SKIRMLINGS_APP_ID org.example.skirmlings)
set(SKIRMLINGS_MAINTAINER "The Skirmlings developers <skirmlings@example.org>")
execute_process(COMMAND date -u -R -d "${SKIRMLINGS_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE SKIRMLINGS_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE)
# The licence's terms as the copyright file holds them: indented, with a
# dot for each empty line.
file(READ ${CMAKE_SOURCE_DIR}/LICENSE licence)
string(FIND "${licence}" "This software" start)
string(SUBSTRING "${licence}" ${start} -1 licence)
string(STRIP "${licence}" licence)
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " SKIRMLINGS_LICENSE_TEXT " ${licence}")
configure_file(${linux}/copyright.in ${docs}/copyright @ONLY)
configure_file(${linux}/skirmlings.metainfo.xml.in ${docs}/${SKIRMLINGS_APP_ID}.metainfo.xml @ONLY)
configure_file(${linux}/skirmlings.6.in ${docs}/skirmlings.6 @ONLY)
configure_file(${linux}/changelog.in ${docs}/changelog @ONLY)
# Debian keeps manual pages and changelogs compressed, without time stamps.
add_custom_command(OUTPUT ${docs}/skirmlings.6.gz ${docs}/changelog.gz
                   COMMAND gzip -9nkf skirmlings.6 changelog
                   WORKING_DIRECTORY ${docs}
                   DEPENDS ${docs}/skirmlings.6 ${docs}/changelog)
add_custom_target(linux_docs ALL DEPENDS ${docs}/skirmlings.6.gz ${docs}/changelog.gz)

# The bitmaps are data, so they live in /usr/share/games; the game finds
# them through a res link beside its bin/.
file(CREATE_LINK ../../../share/games/skirmlings ${docs}/res SYMBOLIC)
install(FILES ${docs}/res DESTINATION lib/games/skirmlings)
install(PROGRAMS ${linux}/skirmlings.sh DESTINATION games RENAME skirmlings)
install(FILES ${linux}/skirmlings.desktop DESTINATION share/applications)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/res/icons/skirmlings-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME skirmlings.png)
endforeach()
install(FILES ${docs}/${SKIRMLINGS_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${docs}/skirmlings.6.gz DESTINATION share/man/man6)
install(FILES ${docs}/copyright ${docs}/changelog.gz DESTINATION share/doc/skirmlings)

# Stripped as Debian strips: the compilers' notes go too.
add_custom_command(TARGET skirmlings POST_BUILD
                   COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment $<TARGET_FILE:skirmlings>)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_CONTACT "${SKIRMLINGS_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "watch a hundred little men in eight teams fight it out")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "A small toy battle in one window: a painted field and a crowd of one"
  "hundred little men in eight teams. They wander, find each other, trade"
  "blows and fall, while a session log records what happens."
  ""
  "Nobody steers: you watch. Every battle is seeded from the clock, so no"
  "two are the same. P pauses the battle and resumes it; closing the window"
  "quits.")
include(CPack)
