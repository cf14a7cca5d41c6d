# The data builder renders its glyphs with FreeType and writes its contact
# sheet with the tools' PNG writer.
find_package(Freetype REQUIRED)
target_link_libraries(databuilder PRIVATE Freetype::Freetype tessera_png)
