# What every build of Tessera shares (the demo for Linux, Windows and the
# browser, and the fuzz target): the version, the language, the warnings, the
# sources, and what makes two builds of one commit alike. Read before
# project(), which names the version.
set(TESSERA_VERSION 1.0.0)
get_filename_component(TESSERA_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(CMAKE_CXX_STANDARD 20) # left shifts of negative values, as Allegro's fixed-point inlines make, are defined from C++20
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(TESSERA_WARNINGS -Wall -Wextra)

# The program: src/ outside the folders of src/platform/, with the folders a
# system builds (posix/ holds what Linux and the browser share). The entry
# point, TESSERA_MAIN, is among the sources.
set(TESSERA_PLATFORM_FOLDERS_linux linux posix)
set(TESSERA_PLATFORM_FOLDERS_windows windows)
set(TESSERA_PLATFORM_FOLDERS_web web posix)
set(TESSERA_MAIN ${TESSERA_ROOT}/src/driver/Ze_main.cpp)
function(tessera_sources out platform)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${TESSERA_ROOT}/src/*.cpp)
    list(FILTER sources EXCLUDE REGEX "/src/platform/[^/]+/")
    foreach(folder IN LISTS TESSERA_PLATFORM_FOLDERS_${platform})
        file(GLOB platform_sources CONFIGURE_DEPENDS ${TESSERA_ROOT}/src/platform/${folder}/*.cpp)
        list(APPEND sources ${platform_sources})
    endforeach()
    set(${out} ${sources} PARENT_SCOPE)
endfunction()

# The recorder: tools/capture/ outside its folders, with the folders a
# system builds (posix/ is Linux's and Node's; no_video/ stands in for the
# encoder and the song where there is no ffmpeg or FluidSynth).
set(TESSERA_CAPTURE_FOLDERS_linux linux posix)
set(TESSERA_CAPTURE_FOLDERS_windows windows no_video)
set(TESSERA_CAPTURE_FOLDERS_web posix no_video)
function(tessera_capture_sources out platform)
    set(patterns ${TESSERA_ROOT}/tools/capture/*.cpp)
    foreach(folder IN LISTS TESSERA_CAPTURE_FOLDERS_${platform})
        list(APPEND patterns ${TESSERA_ROOT}/tools/capture/${folder}/*.cpp)
    endforeach()
    file(GLOB sources CONFIGURE_DEPENDS ${patterns})
    set(${out} ${sources} PARENT_SCOPE)
endfunction()

# The tools' PNG writer (tools/png/) as the library tessera_png, for the
# builds that have no libpng to link (Windows, the browser's toolchain): with
# libpng and zlib compiled from the upstream source of Debian's packages
# (tools/allegro/fetch.sh fetches them), in their default configuration.
function(tessera_png_from_source libpng zlib)
    file(GLOB zlib_sources ${zlib}/*.c)
    list(FILTER zlib_sources EXCLUDE REGEX "/gz[a-z]+\\.c$") # gzip files: libpng reads and writes none
    file(GLOB png_sources ${libpng}/png*.c)
    list(FILTER png_sources EXCLUDE REGEX "/pngtest\\.c$")
    set(config ${CMAKE_BINARY_DIR}/png-config)
    configure_file(${zlib}/zconf.h.in ${config}/zconf.h COPYONLY)
    configure_file(${libpng}/scripts/pnglibconf.h.prebuilt ${config}/pnglibconf.h COPYONLY)
    add_library(png_from_source STATIC ${png_sources} ${zlib_sources})
    target_include_directories(png_from_source PUBLIC ${libpng} ${zlib} ${config})
    target_compile_options(png_from_source PRIVATE -w)
    add_library(tessera_png STATIC ${TESSERA_ROOT}/tools/png/png_writer.cpp)
    target_include_directories(tessera_png PUBLIC ${TESSERA_ROOT}/tools)
    target_compile_options(tessera_png PRIVATE ${TESSERA_WARNINGS})
    target_link_libraries(tessera_png PRIVATE png_from_source)
endfunction()

# A target built from src/: the warnings, and, as SCOPE says (PUBLIC for a
# library the tests use), the include folder and the version.
function(tessera_target target scope)
    target_include_directories(${target} ${scope} ${TESSERA_ROOT}/src)
    target_compile_definitions(${target} ${scope} TESSERA_VERSION="${TESSERA_VERSION}")
    target_compile_options(${target} PRIVATE ${TESSERA_WARNINGS})
endfunction()

# Paths written into the objects (debug information, __FILE__) are relative
# to the source and the build folder, wherever these lie.
add_compile_options(-ffile-prefix-map=${TESSERA_ROOT}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)

# The time stamped on what the build makes (manual pages, archives):
# SOURCE_DATE_EPOCH if set, else the last commit's, else (no git) now.
set(TESSERA_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
if(TESSERA_SOURCE_DATE_EPOCH STREQUAL "")
    execute_process(COMMAND git -C ${TESSERA_ROOT} log -1 --format=%ct ERROR_QUIET
                    OUTPUT_VARIABLE TESSERA_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
if(TESSERA_SOURCE_DATE_EPOCH STREQUAL "")
    string(TIMESTAMP TESSERA_SOURCE_DATE_EPOCH "%s" UTC)
endif()
