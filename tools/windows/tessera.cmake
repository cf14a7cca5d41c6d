# Tessera for Windows: the demo, cross-built and linked statically with
# Allegro as built by tools/windows/build.sh (TESSERA_ALLEGRO_PREFIX), so that
# tessera.exe needs no DLL that Windows does not have; and beside it the
# recorder, tessera-capture.exe, for PNG frames and checksums, with libpng and
# zlib built from source (TESSERA_LIBPNG_SOURCE, TESSERA_ZLIB_SOURCE). The
# data builder, the tests and the benchmarks are built for Linux only.
set(TESSERA_ALLEGRO_PREFIX "" CACHE PATH "Allegro 4.4 built for Windows, as a static library")
set(TESSERA_LIBPNG_SOURCE "" CACHE PATH "libpng's source, for the recorder")
set(TESSERA_ZLIB_SOURCE "" CACHE PATH "zlib's source, for the recorder")
set(TESSERA_ALLEGRO_LIBRARY ${TESSERA_ALLEGRO_PREFIX}/lib/liballeg.a)
if(NOT EXISTS ${TESSERA_ALLEGRO_LIBRARY})
    message(FATAL_ERROR "No Allegro for Windows in ${TESSERA_ALLEGRO_PREFIX}: tools/windows/build.sh builds it")
endif()
enable_language(C)

# The program but its entry point, once for both executables.
tessera_sources(TESSERA_WINDOWS_SOURCES windows)
list(REMOVE_ITEM TESSERA_WINDOWS_SOURCES ${TESSERA_MAIN})
add_library(tessera_core OBJECT ${TESSERA_WINDOWS_SOURCES})
tessera_target(tessera_core PUBLIC)
target_include_directories(tessera_core PUBLIC ${TESSERA_ALLEGRO_PREFIX}/include)
# A static Allegro; main is the program's own, given the arguments as the C
# runtime splits them; printf is mingw-w64's, which knows %zu.
target_compile_definitions(tessera_core PUBLIC ALLEGRO_STATICLINK ALLEGRO_NO_MAGIC_MAIN
                           __USE_MINGW_ANSI_STDIO=1)
# The data files are looked for beside tessera.exe.
target_compile_definitions(tessera_core PRIVATE TESSERA_DATA_FROM_BIN=".")
# The formats are checked by the Linux build: for mingw-w64 the printf
# attribute means the Microsoft runtime's printf, which knows no %zu.
target_compile_options(tessera_core PUBLIC -Wno-format)
target_link_options(tessera_core PUBLIC -static -static-libgcc -static-libstdc++)
target_link_libraries(tessera_core PUBLIC ${TESSERA_ALLEGRO_LIBRARY}
    gdi32 comdlg32 ole32 dinput ddraw dxguid winmm dsound user32 kernel32)

add_executable(tessera ${TESSERA_MAIN})
target_compile_options(tessera PRIVATE ${TESSERA_WARNINGS})
target_link_libraries(tessera PRIVATE tessera_core)
target_link_options(tessera PRIVATE -s)
# The linker stamps the header with SOURCE_DATE_EPOCH: the commit's time.
set_target_properties(tessera PROPERTIES CXX_LINKER_LAUNCHER
    "${CMAKE_COMMAND};-E;env;SOURCE_DATE_EPOCH=${TESSERA_SOURCE_DATE_EPOCH}")

tessera_png_from_source(${TESSERA_LIBPNG_SOURCE} ${TESSERA_ZLIB_SOURCE})
tessera_capture_sources(TESSERA_CAPTURE_SOURCES windows)
add_executable(tessera-capture ${TESSERA_CAPTURE_SOURCES})
target_compile_options(tessera-capture PRIVATE ${TESSERA_WARNINGS})
target_link_libraries(tessera-capture PRIVATE tessera_core tessera_png)

# The version the zip is named by, and the time its entries carry.
file(WRITE ${CMAKE_BINARY_DIR}/version.txt "${PROJECT_VERSION}\n")
file(WRITE ${CMAKE_BINARY_DIR}/source-date-epoch.txt "${TESSERA_SOURCE_DATE_EPOCH}\n")
