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
