# Turns data/ into compiled-in arrays at build time: the program reads no files when it runs.
#   data/**/*.raw and data/**/*.txt  -> one array each in namespace embedded (tools/embed)
#   data/music/track00.xm .. 15.xm   -> the scrambled music bank (tools/bankpack)
set(MUSIDISK_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${MUSIDISK_GENERATED_DIR})

# Build-time tools run on this machine; they take the common warnings but never sanitizers.
function(musidisk_build_tool name)
  add_executable(${name} ${ARGN})
  target_compile_options(${name} PRIVATE -Wall -Wextra)
  if(MUSIDISK_WERROR)
    target_compile_options(${name} PRIVATE -Werror)
  endif()
endfunction()

musidisk_build_tool(musidisk-embed ${CMAKE_SOURCE_DIR}/tools/embed/embed.cpp)
musidisk_build_tool(musidisk-bankpack ${CMAKE_SOURCE_DIR}/tools/bankpack/bankpack.cpp)

file(GLOB_RECURSE MUSIDISK_DATA_FILES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/data/*.raw ${CMAKE_SOURCE_DIR}/data/*.txt)
list(SORT MUSIDISK_DATA_FILES)
set(embed_args)
foreach(f ${MUSIDISK_DATA_FILES})
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/data ${f})
  string(MAKE_C_IDENTIFIER ${rel} symbol)
  list(APPEND embed_args ${symbol}=${f})
endforeach()
add_custom_command(
  OUTPUT ${MUSIDISK_GENERATED_DIR}/embedded_data.cpp ${MUSIDISK_GENERATED_DIR}/embedded_data.h
  COMMAND musidisk-embed ${MUSIDISK_GENERATED_DIR}/embedded_data.cpp
          ${MUSIDISK_GENERATED_DIR}/embedded_data.h ${embed_args}
  DEPENDS musidisk-embed ${MUSIDISK_DATA_FILES}
  COMMENT "Embedding data files"
  VERBATIM)

set(MUSIDISK_MUSIC_FILES)
foreach(i RANGE 0 15)
  if(i LESS 10)
    set(i "0${i}")
  endif()
  list(APPEND MUSIDISK_MUSIC_FILES ${CMAKE_SOURCE_DIR}/data/music/track${i}.xm)
endforeach()
add_custom_command(
  OUTPUT ${MUSIDISK_GENERATED_DIR}/music_bank_data.cpp
  COMMAND musidisk-bankpack ${MUSIDISK_GENERATED_DIR}/music_bank_data.cpp ${MUSIDISK_MUSIC_FILES}
  DEPENDS musidisk-bankpack ${MUSIDISK_MUSIC_FILES}
  COMMENT "Packing the music bank"
  VERBATIM)

set(MUSIDISK_GENERATED_SOURCES
  ${MUSIDISK_GENERATED_DIR}/embedded_data.cpp
  ${MUSIDISK_GENERATED_DIR}/music_bank_data.cpp)

# Bitmap fonts for the GDI layer, baked with FreeType from Debian's DejaVu fonts.
set(MUSIDISK_BAKE_FONT /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf)  # fonts-dejavu-core
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/fontbake/fontbake.cpp)
  musidisk_build_tool(musidisk-fontbake ${CMAKE_SOURCE_DIR}/tools/fontbake/fontbake.cpp)
  target_link_libraries(musidisk-fontbake PRIVATE PkgConfig::FREETYPE)
  add_custom_command(
    OUTPUT ${MUSIDISK_GENERATED_DIR}/baked_fonts.cpp
    COMMAND musidisk-fontbake ${MUSIDISK_GENERATED_DIR}/baked_fonts.cpp ${MUSIDISK_BAKE_FONT}
    DEPENDS musidisk-fontbake ${MUSIDISK_BAKE_FONT}
    COMMENT "Baking bitmap fonts"
    VERBATIM)
  list(APPEND MUSIDISK_GENERATED_SOURCES ${MUSIDISK_GENERATED_DIR}/baked_fonts.cpp)
endif()
