# The data builder renders its glyphs with FreeType and packs its contact
# sheet with zlib.
find_package(Freetype REQUIRED)
find_package(ZLIB REQUIRED)
target_link_libraries(databuilder PRIVATE Freetype::Freetype ZLIB::ZLIB)
