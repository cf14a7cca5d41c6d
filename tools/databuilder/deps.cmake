# The data builder renders its glyphs with FreeType and packs its contact
# sheet with zlib (found through pkg-config, as the recorder finds it).
find_package(Freetype REQUIRED)
if(NOT TARGET PkgConfig::ZLIB)
    pkg_check_modules(ZLIB REQUIRED IMPORTED_TARGET zlib)
endif()
target_link_libraries(databuilder PRIVATE Freetype::Freetype PkgConfig::ZLIB)
