# The browser build: the engine compiled to WebAssembly with Emscripten (emcmake), linked with the
# browser backend (src/platform/web/) instead of the desktop's SDL one, FreeType, libogg and
# libvorbis compiled from their Debian sources (ZEPA_FREETYPE_SOURCE, ZEPA_OGG_SOURCE,
# ZEPA_VORBIS_SOURCE, unpacked by scripts/install-deps-web) and stb_image for pictures.
# Makes zepa.js and zepa.wasm; scripts/pack-web puts them in a page with a game.
enable_language(C)

set(ZEPA_FREETYPE_SOURCE "" CACHE PATH "FreeType's unpacked source (scripts/install-deps-web)")
if(NOT EXISTS "${ZEPA_FREETYPE_SOURCE}/CMakeLists.txt")
  message(FATAL_ERROR "ZEPA_FREETYPE_SOURCE must name FreeType's source folder (scripts/install-deps-web)")
endif()

# FreeType for TrueType outlines only, as the fonts the engine draws need.
foreach(feature ZLIB BZIP2 PNG HARFBUZZ BROTLI)
  set(FT_DISABLE_${feature} ON CACHE BOOL "" FORCE)
endforeach()
add_subdirectory(${ZEPA_FREETYPE_SOURCE} ${CMAKE_BINARY_DIR}/freetype EXCLUDE_FROM_ALL)
# Debian's patch that turns off COLRv1 leaves functions unused; FreeType's warnings are not ours.
target_compile_options(freetype PRIVATE -w)

# libogg and libvorbis with vorbisfile, the desktop's Ogg Vorbis decoder, from their sources. Their
# own build files look for each other as installed packages, so their few files are listed here.
set(ZEPA_OGG_SOURCE "" CACHE PATH "libogg's unpacked source (scripts/install-deps-web)")
set(ZEPA_VORBIS_SOURCE "" CACHE PATH "libvorbis's unpacked source (scripts/install-deps-web)")
if(NOT EXISTS "${ZEPA_OGG_SOURCE}/src/framing.c" OR NOT EXISTS "${ZEPA_VORBIS_SOURCE}/lib/vorbisfile.c")
  message(FATAL_ERROR "ZEPA_OGG_SOURCE and ZEPA_VORBIS_SOURCE must name libogg's and libvorbis's "
                      "source folders (scripts/install-deps-web)")
endif()
# What libogg's configure fills in: the fixed-size integer types of <stdint.h>.
set(ogg_include ${CMAKE_BINARY_DIR}/ogg-include)
foreach(bits 16 32 64)
  set(SIZE${bits} int${bits}_t)
  set(USIZE${bits} uint${bits}_t)
endforeach()
set(INCLUDE_INTTYPES_H 1)
set(INCLUDE_STDINT_H 1)
set(INCLUDE_SYS_TYPES_H 1)
configure_file(${ZEPA_OGG_SOURCE}/include/ogg/config_types.h.in ${ogg_include}/ogg/config_types.h @ONLY)
add_library(ogg STATIC ${ZEPA_OGG_SOURCE}/src/bitwise.c ${ZEPA_OGG_SOURCE}/src/framing.c)
target_include_directories(ogg SYSTEM PUBLIC ${ZEPA_OGG_SOURCE}/include ${ogg_include})
# The library without its encoder and the test programs beside it in lib/.
file(GLOB vorbis_sources ${ZEPA_VORBIS_SOURCE}/lib/*.c)
list(FILTER vorbis_sources EXCLUDE REGEX "/(barkmel|psytune|tone|vorbisenc)\\.c$")
add_library(vorbis STATIC ${vorbis_sources})
target_include_directories(vorbis SYSTEM PUBLIC ${ZEPA_VORBIS_SOURCE}/include)
target_include_directories(vorbis PRIVATE ${ZEPA_VORBIS_SOURCE}/lib)
target_compile_definitions(vorbis PRIVATE HAVE_ALLOCA_H)
target_link_libraries(vorbis PUBLIC ogg)
target_compile_options(ogg PRIVATE -w)
target_compile_options(vorbis PRIVATE -w)

# The header-only libraries from the build machine, without the rest of its /usr/include.
set(header_links ${CMAKE_BINARY_DIR}/web-include)
file(MAKE_DIRECTORY ${header_links})
foreach(folder nlohmann CLI stb)
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing (scripts/install-deps-web)")
  endif()
  file(CREATE_LINK /usr/include/${folder} ${header_links}/${folder} SYMBOLIC)
endforeach()

# The CP932 tables, made from the build machine's iconv by a program compiled for it.
set(generated ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${generated})
execute_process(COMMAND c++ -std=c++20 -O1 ${CMAKE_SOURCE_DIR}/web/make-cp932-tables.cpp -o
                        ${generated}/make-cp932-tables RESULT_VARIABLE compiled)
if(NOT compiled EQUAL 0)
  message(FATAL_ERROR "cannot compile web/make-cp932-tables.cpp for the build machine")
endif()
execute_process(COMMAND ${generated}/make-cp932-tables ${generated}/Cp932Tables.inc RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "cannot make the CP932 tables (the build machine's iconv has no CP932?)")
endif()

add_compile_options(-fexceptions)
add_link_options(-fexceptions)

include(cmake/EngineLayers.cmake)
# Left out: the desktop's SDL backend, its iconv conversion and fontconfig lookup, and its library
# versions; src/platform/web/ has their browser counterparts.
zepa_add_engine_layers(
  "/src/platform/(sdl/|Cp932\\.cpp$|LibraryVersions\\.cpp$|freetype/FontconfigFinder\\.cpp$)")
target_include_directories(zepa_platform PRIVATE ${generated})
target_include_directories(zepa_platform SYSTEM PUBLIC ${header_links} ${header_links}/stb)
target_link_libraries(zepa_platform PUBLIC freetype vorbis)

add_executable(zepa ${CMAKE_SOURCE_DIR}/src/app/main.cpp)
target_link_libraries(zepa PRIVATE zepa_app)
# ASYNCIFY lets the engine's own loop sleep by handing control back to the browser (on a timer, or
# until the next animation frame: zepa_page_next_animation_frame in WebBackend.cpp). The page
# (web/zepa-web.js) gives the arguments, the files and the canvas.
target_link_options(zepa PRIVATE
  -sASYNCIFY=1 "-sASYNCIFY_IMPORTS=['zepa_page_next_animation_frame']" -sASYNCIFY_STACK_SIZE=131072
  -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1
  -sFORCE_FILESYSTEM=1 -sENVIRONMENT=web -lidbfs.js
  "-sEXPORTED_RUNTIME_METHODS=['FS','IDBFS']")
