# Installing and packaging: `cmake --install` (DESTDIR and the CMAKE_INSTALL_* variables apply)
# and `cpack`, which makes the player's .deb. Components: `game` is what players get; `debian`
# holds the package's copyright file and changelog; `licence` the LICENSE file, which the .deb
# carries as its copyright file instead; `developer` the scripted runner quendra-replay.

# Debian's games policy puts games in games/ (/usr/games, /usr/local/games, both on PATH).
# A build folder configured before this holds GNUInstallDirs' own default, bin: move it on.
get_property(bindir_help CACHE CMAKE_INSTALL_BINDIR PROPERTY HELPSTRING)
if(CMAKE_INSTALL_BINDIR STREQUAL "bin" AND bindir_help STREQUAL "User executables (bin)")
  set(CMAKE_INSTALL_BINDIR games CACHE PATH "User executables (games/ as Debian asks for games)"
    FORCE)
endif()
set(CMAKE_INSTALL_BINDIR games CACHE PATH "User executables (games/ as Debian asks for games)")
include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Man pages and the changelog are installed compressed, without a time stamp, as Debian wants.
set(gzipped "")
foreach(file quendra.6 quendra-replay.6 changelog)
  set(out "${CMAKE_CURRENT_BINARY_DIR}/dist/${file}.gz")
  add_custom_command(OUTPUT "${out}"
    COMMAND "${CMAKE_COMMAND}" -E copy "${CMAKE_CURRENT_SOURCE_DIR}/dist/${file}"
      "${CMAKE_CURRENT_BINARY_DIR}/dist/${file}"
    COMMAND gzip -9nf "${CMAKE_CURRENT_BINARY_DIR}/dist/${file}"
    DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/dist/${file}" VERBATIM)
  list(APPEND gzipped "${out}")
endforeach()
add_custom_target(quendra-dist ALL DEPENDS ${gzipped})

# Relocations read-only before the game runs, as Debian hardens its programs.
target_link_options(quendra PRIVATE LINKER:-z,relro,-z,now)
install(TARGETS quendra RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT game)
install(FILES dist/quendra.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT game)
install(FILES dist/io.github.quendra.Quendra.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT game)
foreach(size 16 32 48 64 128 256)
  install(FILES dist/icons/quendra-${size}.png RENAME quendra.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT game)
endforeach()
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/dist/quendra.6.gz"
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT game)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT game)
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT licence)
install(FILES dist/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT debian EXCLUDE_FROM_ALL)
# We make the package ourselves, so it is a native one: its changelog is changelog.gz.
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/dist/changelog.gz"
  DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT debian EXCLUDE_FROM_ALL)

install(TARGETS quendra-replay RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT developer)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/dist/quendra-replay.6.gz"
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT developer)

# --- The .deb ---------------------------------------------------------------------------------
set(QUENDRA_PACKAGE_MAINTAINER "The Quendra developers <packages@quendra.invalid>" CACHE STRING
  "The Maintainer of the .deb (the project has no mail address yet: .invalid never delivers)")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quendra)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade game: shoot the spiky targets before they splat")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Spiky purple creatures appear at random places and grow towards you for one
and a half seconds; aim the crosshair with the mouse and shoot them. A hit
scores a point, a creature that grows to full size splats onto the screen and
costs one. A game starts with 3 points and ends at 0; the best score is kept.
.
The game plays in full screen or in a window, with crisp, evenly scaled pixels.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUENDRA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game debian)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
include(CPack)

# --- Tests: the desktop files validate, the man pages render cleanly, the .deb holds what the
# player needs and nothing of the developer tools, and lintian finds no error in it. (Not again in
# the sanitizer build: a package of instrumented code tells nothing new.)
if(BUILD_TESTING AND NOT QUENDRA_SANITIZE)
  set(check sh "${CMAKE_CURRENT_SOURCE_DIR}/tests/dist/check.sh")
  set(deb_dir "${CMAKE_CURRENT_BINARY_DIR}/package-test")
  set(dist "${CMAKE_CURRENT_SOURCE_DIR}/dist")
  add_test(NAME dist.desktop_entry COMMAND ${check} desktop "${dist}/quendra.desktop")
  add_test(NAME dist.metainfo
    COMMAND ${check} metainfo "${dist}/io.github.quendra.Quendra.metainfo.xml")
  add_test(NAME dist.man_pages COMMAND ${check} man "${dist}/quendra.6" "${dist}/quendra-replay.6")
  add_test(NAME dist.man_options COMMAND ${check} options $<TARGET_FILE:quendra> "${dist}/quendra.6")
  add_test(NAME dist.man_options_replay
    COMMAND ${check} options $<TARGET_FILE:quendra-replay> "${dist}/quendra-replay.6")
  add_test(NAME package.deb
    COMMAND ${check} deb "${CMAKE_CURRENT_BINARY_DIR}/CPackConfig.cmake" "${deb_dir}")
  add_test(NAME package.lintian COMMAND ${check} lintian "${deb_dir}")
  set_tests_properties(dist.desktop_entry dist.metainfo dist.man_pages package.deb package.lintian
    PROPERTIES SKIP_RETURN_CODE 77)
  set_tests_properties(dist.man_options dist.man_options_replay PROPERTIES TIMEOUT 30)
  set_tests_properties(package.deb PROPERTIES FIXTURES_SETUP deb)
  set_tests_properties(package.lintian PROPERTIES FIXTURES_REQUIRED deb)
endif()
