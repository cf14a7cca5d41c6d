# Installing Tessera as Debian lays out a game: the programs in games/, the
# data files in share/games/tessera/, with manual pages, a menu entry and its
# icons; `cmake --install build` (with --prefix and DESTDIR) and a Debian
# package made by `cpack -G DEB` in the build folder.
# The folders themselves are chosen in install_dirs.cmake, which the
# program's build reads first.

install(TARGETS tessera tessera-capture DESTINATION ${TESSERA_INSTALL_BINDIR})
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    # Every symbol bound at start, so that the relocation tables can be read-only.
    foreach(target tessera tessera-capture)
        target_link_options(${target} PRIVATE -Wl,-z,now)
    endforeach()
endif()
install(FILES ${TESSERA_DATA} ${TESSERA_SONG_FONT} DESTINATION ${TESSERA_INSTALL_DATADIR})
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_SOURCE_DIR}/README.md
              ${CMAKE_SOURCE_DIR}/CHANGELOG.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The rest is for a desktop Linux: a menu entry with its icons, manual pages
# and the Debian package. Builds for other systems stop here.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
    return()
endif()

install(FILES ${CMAKE_SOURCE_DIR}/packaging/tessera.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The menu's icons: the title logo's first letter, drawn by the data builder
# at every size of the icon theme.
set(TESSERA_ICONS ${CMAKE_BINARY_DIR}/icons)
add_custom_command(
    OUTPUT ${TESSERA_ICONS}/hicolor/256x256/apps/tessera.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TESSERA_ICONS}
    COMMAND databuilder --icons ${TESSERA_ICONS}
    DEPENDS databuilder
    COMMENT "Drawing the icons in icons/")
add_custom_target(icons ALL DEPENDS ${TESSERA_ICONS}/hicolor/256x256/apps/tessera.png)
install(DIRECTORY ${TESSERA_ICONS}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The manual pages, made from the programs' own --help and --version by
# help2man, with what the options do not say (keys, files) from packaging/.
# help2man runs the programs (with no display to open), so a cross build
# makes none.
find_program(TESSERA_HELP2MAN help2man)
find_program(TESSERA_GZIP gzip)
if(TESSERA_HELP2MAN AND TESSERA_GZIP AND NOT CMAKE_CROSSCOMPILING)
    function(tessera_manual_page program section name)
        set(out ${CMAKE_BINARY_DIR}/man/${program}.${section})
        add_custom_command(
            OUTPUT ${out}.gz
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
            COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY SOURCE_DATE_EPOCH=${TESSERA_SOURCE_DATE_EPOCH}
                    ${TESSERA_HELP2MAN} --no-info --section=${section}
                    --name=${name} --include=${CMAKE_SOURCE_DIR}/packaging/${program}.h2m
                    --output=${out} $<TARGET_FILE:${program}>
            COMMAND ${TESSERA_GZIP} -9nf ${out}
            DEPENDS ${program} ${CMAKE_SOURCE_DIR}/packaging/${program}.h2m
            COMMENT "Writing the manual page ${program}(${section})"
            VERBATIM)
        install(FILES ${out}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
        set(tessera_pages ${tessera_pages} ${out}.gz PARENT_SCOPE)
    endfunction()
    set(tessera_pages)
    tessera_manual_page(tessera 6 "a self-running audio-visual demo")
    tessera_manual_page(tessera-capture 1
                        "record the Tessera demo to video, PNG frames or checksums")
    add_custom_target(manpages ALL DEPENDS ${tessera_pages})
else()
    message(STATUS "No help2man, or a cross build: the manual pages are not made")
endif()

# What a Debian package holds beyond an install: the licence under Debian's
# name, and the changelog in Debian's form. `cmake --install` leaves them out.
set(TESSERA_DEBIAN_CHANGELOG ${CMAKE_BINARY_DIR}/debian/changelog)
set(TESSERA_MAINTAINER "The Tessera authors <maintainers@users.noreply.c-seed-ab3eb352.example>")
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.Debian.in ${TESSERA_DEBIAN_CHANGELOG} @ONLY)
add_custom_command(
    OUTPUT ${TESSERA_DEBIAN_CHANGELOG}.gz
    COMMAND ${TESSERA_GZIP} -9nkf ${TESSERA_DEBIAN_CHANGELOG}
    DEPENDS ${TESSERA_DEBIAN_CHANGELOG})
add_custom_target(debian_changelog ALL DEPENDS ${TESSERA_DEBIAN_CHANGELOG}.gz)
install(FILES ${TESSERA_DEBIAN_CHANGELOG}.gz DESTINATION ${CMAKE_INSTALL_DOCDIR}
        COMPONENT debian EXCLUDE_FROM_ALL)
# The copyright: Tessera's licence, and the terms of the song's sound font.
file(READ ${CMAKE_SOURCE_DIR}/LICENSE TESSERA_LICENSE)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/LICENSE)
set(TESSERA_COPYRIGHT ${CMAKE_SOURCE_DIR}/LICENSE)
if(TESSERA_SONG_FONT)
    set(TESSERA_COPYRIGHT ${CMAKE_BINARY_DIR}/debian/copyright)
    configure_file(${CMAKE_SOURCE_DIR}/packaging/copyright.in ${TESSERA_COPYRIGHT} @ONLY)
endif()
install(FILES ${TESSERA_COPYRIGHT} DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME copyright
        COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessera)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "self-running audio-visual demo in the 1990s demoscene style")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Everything an install holds, then the Debian files.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};tessera;ALL;/"
    "${CMAKE_BINARY_DIR};tessera;debian;/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TESSERA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fluid-soundfont-gm)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS ffmpeg)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# cpack stamps the archives and their members with SOURCE_DATE_EPOCH: the
# build's time (tessera.cmake) unless it is set when cpack runs; the modes
# are made the same whatever the umask.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/cpack_time.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ENV{SOURCE_DATE_EPOCH} ${TESSERA_SOURCE_DATE_EPOCH})
endif()\n")
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/deb_alike.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/deb_alike.cmake)
# The synopsis is the summary above; this is the text under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tessera shows a title logo that assembles itself from its own pixels, then
ten pictures in turn, each broken into a field of diamond tiles that drift
apart in waves and come back together, over a scrolling backdrop of dots,
with a scroller and circling logo letters, to a looping MIDI song played on
the FluidSynth synthesizer. It runs by itself for about four and a half
minutes.

The package also holds tessera-capture, which records the demo frame-exact
to an MP4 video with its song (through ffmpeg), to PNG frames or to
checksums, without a display.")
include(CPack)
