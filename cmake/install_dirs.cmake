# Where an install puts Tessera: as Debian lays out a game, the programs in
# games/ and the data files in share/games/tessera/ under the prefix.
include(GNUInstallDirs)

set(TESSERA_INSTALL_BINDIR games CACHE STRING "Where the programs go, under the prefix")
set(TESSERA_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/games/tessera
    CACHE STRING "Where res.dat and res_2.dat go, under the prefix")

# The programs find the installed data from their own folder, so that the
# same build works under any prefix or DESTDIR; only a folder given as a
# full path ties it to the prefix known now.
foreach(dir BINDIR DATADIR)
    if(IS_ABSOLUTE ${TESSERA_INSTALL_${dir}})
        set(tessera_full_${dir} ${TESSERA_INSTALL_${dir}})
    else()
        set(tessera_full_${dir} ${CMAKE_INSTALL_PREFIX}/${TESSERA_INSTALL_${dir}})
    endif()
endforeach()
file(RELATIVE_PATH TESSERA_DATA_FROM_BIN ${tessera_full_BINDIR} ${tessera_full_DATADIR})
