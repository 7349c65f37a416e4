# The browser build (Emscripten): the program and its platform layer on the web host, linked into
# musidisk.js + musidisk.wasm beside the page's own files in MUSIDISK_WEB_OUTPUT_DIR.
#   MUSIDISK_PREGENERATED_DIR  generated data of a native build (its tools cannot run as wasm)
#   MUSIDISK_OPENMPT_PREFIX    libopenmpt compiled for the browser (scripts/web makes it)
# scripts/web sets all three.
set(MUSIDISK_PREGENERATED_DIR "" CACHE PATH "Generated data made by a native build")
set(MUSIDISK_OPENMPT_PREFIX "" CACHE PATH "libopenmpt built with Emscripten (include/, lib/)")
set(MUSIDISK_WEB_OUTPUT_DIR "${CMAKE_BINARY_DIR}/page" CACHE PATH "Where the page is put together")

foreach(needed MUSIDISK_PREGENERATED_DIR MUSIDISK_OPENMPT_PREFIX)
  if(NOT ${needed})
    message(FATAL_ERROR "The web build needs ${needed}; scripts/web sets it")
  endif()
endforeach()
if(NOT EXISTS ${MUSIDISK_OPENMPT_PREFIX}/lib/libopenmpt.a)
  message(FATAL_ERROR "No libopenmpt.a under ${MUSIDISK_OPENMPT_PREFIX}/lib")
endif()

set(MUSIDISK_GENERATED_SOURCES
  ${MUSIDISK_PREGENERATED_DIR}/embedded_data.cpp
  ${MUSIDISK_PREGENERATED_DIR}/music_bank_data.cpp)
if(EXISTS ${MUSIDISK_PREGENERATED_DIR}/baked_fonts.cpp)
  list(APPEND MUSIDISK_GENERATED_SOURCES ${MUSIDISK_PREGENERATED_DIR}/baked_fonts.cpp)
endif()

# The platform layer the browser needs: the Win32, GDI, Direct3D and BASS mirrors, and of the hosts
# only the web host with what every host shares (the desktop's SDL host and its services, the
# tests' headless host and the Windows-only output stay out).
file(GLOB MUSIDISK_WEB_PLATFORM_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/platform/win32/*.cpp ${CMAKE_SOURCE_DIR}/src/platform/gdi/*.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/d3d8/*.cpp ${CMAKE_SOURCE_DIR}/src/platform/bass/*.cpp)
list(FILTER MUSIDISK_WEB_PLATFORM_SOURCES EXCLUDE REGEX ".*/src/platform/win32/main\\.cpp$")
foreach(name host key_table dom_key_map web_host)
  list(APPEND MUSIDISK_WEB_PLATFORM_SOURCES ${CMAKE_SOURCE_DIR}/src/platform/host/${name}.cpp)
endforeach()

# SSE2 intrinsics of the software device map onto WebAssembly's 128-bit SIMD. Emscripten's C++
# library is older than the compiler: libcxx_compat.h fills in what the program uses of C++20.
set(MUSIDISK_WEB_COMPILE_OPTIONS -msimd128 -msse2)
set(MUSIDISK_WEB_CXX_OPTIONS -include ${CMAKE_SOURCE_DIR}/src/platform/web/libcxx_compat.h)
# Clang (Emscripten's compiler) checks for unused constants and private fields, which GCC, the
# native build's compiler and warning gate, does not: shown, but not failing the web build.
set(MUSIDISK_WEB_WARNING_OPTIONS -Wno-error=unused-const-variable -Wno-error=unused-private-field)

add_library(musidisk_web_core STATIC ${MUSIDISK_PROGRAM_SOURCES} ${MUSIDISK_WEB_PLATFORM_SOURCES}
            ${MUSIDISK_GENERATED_SOURCES})
target_include_directories(musidisk_web_core PUBLIC
  ${CMAKE_SOURCE_DIR}/src
  ${CMAKE_SOURCE_DIR}/src/platform/win32
  ${CMAKE_SOURCE_DIR}/src/platform/d3d8
  ${CMAKE_SOURCE_DIR}/src/platform/gdi
  ${CMAKE_SOURCE_DIR}/src/platform/bass
  ${MUSIDISK_PREGENERATED_DIR}
  ${MUSIDISK_OPENMPT_PREFIX}/include)
target_compile_options(musidisk_web_core PUBLIC ${MUSIDISK_WEB_COMPILE_OPTIONS} ${MUSIDISK_WEB_CXX_OPTIONS}
                       ${MUSIDISK_WEB_WARNING_OPTIONS})
target_link_libraries(musidisk_web_core PUBLIC musidisk_flags)
# The BASS layer catches what libopenmpt throws for data it cannot load, and running out of
# memory; the rest of the program throws nothing and pays nothing for exceptions.
set_source_files_properties(
  ${CMAKE_SOURCE_DIR}/src/platform/bass/bass_library.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/bass/module_instance.cpp
  PROPERTIES COMPILE_OPTIONS "-fexceptions")

add_executable(musidisk_web ${CMAKE_SOURCE_DIR}/src/platform/web/main.cpp)
target_link_libraries(musidisk_web PRIVATE musidisk_web_core ${MUSIDISK_OPENMPT_PREFIX}/lib/libopenmpt.a)
set_target_properties(musidisk_web PROPERTIES OUTPUT_NAME musidisk SUFFIX .js
                      RUNTIME_OUTPUT_DIRECTORY ${MUSIDISK_WEB_OUTPUT_DIR})
target_link_options(musidisk_web PRIVATE
  # One factory per show: a restart makes a new instance, so the program's globals start fresh.
  -sMODULARIZE=1 -sEXPORT_NAME=createMusidisk -sENVIRONMENT=web
  # The program's loop gives the browser control at the host's yields.
  -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=65536
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=64MB -sTOTAL_STACK=8MB
  -sDISABLE_EXCEPTION_CATCHING=0
  -sEXPORTED_FUNCTIONS=_main,_musidisk_playing_music
  -sFILESYSTEM=0
  ${MUSIDISK_WEB_COMPILE_OPTIONS})

# The page's own files beside the module.
file(GLOB MUSIDISK_WEB_PAGE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/web/*.html ${CMAKE_SOURCE_DIR}/web/*.js
     ${CMAKE_SOURCE_DIR}/web/*.css)
set(page_outputs)
foreach(f ${MUSIDISK_WEB_PAGE_FILES})
  get_filename_component(name ${f} NAME)
  add_custom_command(OUTPUT ${MUSIDISK_WEB_OUTPUT_DIR}/${name}
                     COMMAND ${CMAKE_COMMAND} -E copy_if_different ${f} ${MUSIDISK_WEB_OUTPUT_DIR}/${name}
                     DEPENDS ${f} VERBATIM)
  list(APPEND page_outputs ${MUSIDISK_WEB_OUTPUT_DIR}/${name})
endforeach()
add_custom_target(musidisk_web_page ALL DEPENDS ${page_outputs})
