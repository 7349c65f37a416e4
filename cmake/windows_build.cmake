# The Windows program, musidisk.exe: the program's own sources on the real user32, gdi32 and d3d8,
# and our BASS layer over a static libopenmpt, playing through WinMM's waveOut. scripts/windows
# configures it with the MinGW-w64 toolchain (cmake/mingw-w64-x86_64.cmake) and passes:
#   MUSIDISK_PREGENERATED_DIR  generated data of a native build: embedded_data.cpp/.h,
#                              music_bank_data.cpp and the icon, program_icon.ico
#   MUSIDISK_OPENMPT_PREFIX    where libopenmpt for MinGW-w64 is installed (include/, lib/)
# Not part of it: the software Direct3D device, the GDI and Win32 mirrors, the SDL and headless
# hosts, and the Linux icon table (src/app/program_resources.cpp), which the .rc file replaces.
foreach(var MUSIDISK_PREGENERATED_DIR MUSIDISK_OPENMPT_PREFIX)
  if(NOT ${var})
    message(FATAL_ERROR "The Windows build needs -D${var}=...; scripts/windows passes it.")
  endif()
endforeach()
foreach(file embedded_data.cpp embedded_data.h music_bank_data.cpp program_icon.ico)
  if(NOT EXISTS ${MUSIDISK_PREGENERATED_DIR}/${file})
    message(FATAL_ERROR "${MUSIDISK_PREGENERATED_DIR}/${file} is missing; scripts/windows makes it.")
  endif()
endforeach()
if(NOT EXISTS ${MUSIDISK_OPENMPT_PREFIX}/lib/libopenmpt.a)
  message(FATAL_ERROR "No libopenmpt.a under ${MUSIDISK_OPENMPT_PREFIX}; scripts/windows builds it.")
endif()

enable_language(RC)

# MinGW-w64 ships no 64-bit import library for d3d8.dll: make one from its one entry point.
find_program(MUSIDISK_DLLTOOL NAMES ${MUSIDISK_MINGW_HOST}-dlltool x86_64-w64-mingw32-dlltool REQUIRED)
set(d3d8_import ${CMAKE_BINARY_DIR}/libd3d8_import.a)
add_custom_command(
  OUTPUT ${d3d8_import}
  COMMAND ${MUSIDISK_DLLTOOL} -d ${CMAKE_SOURCE_DIR}/src/platform/windows/d3d8.def -l ${d3d8_import}
  DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/windows/d3d8.def
  COMMENT "Making the d3d8.dll import library"
  VERBATIM)
add_custom_target(musidisk_d3d8_import DEPENDS ${d3d8_import})

set(program_sources ${MUSIDISK_PROGRAM_SOURCES})
list(FILTER program_sources EXCLUDE REGEX ".*/src/app/program_resources\\.cpp$")
# One thing above the platform layer leans on the mirror: gfx/matrix4.h includes <d3d8types.h>
# alone, which the mirror allows (it includes windows.h itself) but the real header does not (it
# needs windows.h's types first). windows.h comes first in every program source, as a
# precompiled-header project would have it.
set_source_files_properties(${program_sources} PROPERTIES COMPILE_OPTIONS "-include;windows.h")

set(platform_sources
  ${CMAKE_SOURCE_DIR}/src/platform/bass/bass.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/bass/bass_library.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/bass/module_instance.cpp
  ${CMAKE_SOURCE_DIR}/src/platform/windows/wave_out_audio_output.cpp)
# Our own platform code uses the standard library's min and max, not windows.h's macros.
set_source_files_properties(${platform_sources} PROPERTIES COMPILE_DEFINITIONS NOMINMAX)

set(resource_script ${CMAKE_SOURCE_DIR}/src/platform/windows/musidisk.rc)
set_source_files_properties(${resource_script} PROPERTIES
  OBJECT_DEPENDS ${MUSIDISK_PREGENERATED_DIR}/program_icon.ico)

# The program, compiled once for the .exe and the test tool below.
add_library(musidisk_program OBJECT
  ${program_sources}
  ${platform_sources}
  ${MUSIDISK_PREGENERATED_DIR}/embedded_data.cpp
  ${MUSIDISK_PREGENERATED_DIR}/music_bank_data.cpp)
# Only the bass folder of the platform layer is on the path: <windows.h>, <d3d8.h> and the rest
# are the real ones.
target_include_directories(musidisk_program PUBLIC
  ${CMAKE_SOURCE_DIR}/src
  ${CMAKE_SOURCE_DIR}/src/platform/bass
  ${MUSIDISK_PREGENERATED_DIR}
  ${MUSIDISK_OPENMPT_PREFIX}/include)
target_link_libraries(musidisk_program PUBLIC musidisk_flags
  ${MUSIDISK_OPENMPT_PREFIX}/lib/libopenmpt.a
  ${d3d8_import} winmm gdi32 user32 ole32 rpcrt4)
add_dependencies(musidisk_program musidisk_d3d8_import)

add_executable(musidisk WIN32 ${resource_script})
target_link_libraries(musidisk PRIVATE musidisk_program)
# One .exe that needs only the DLLs Windows has: the C++ runtime, libgcc and winpthread linked in;
# stripped, as a download is.
target_link_options(musidisk PRIVATE -static -static-libgcc -static-libstdc++ -s)

# Tools of the tests that run the program under Wine (tests/windows): the program with its clock
# held, and a console probe that reads dialogs.
add_executable(musidisk-held-frame
  ${CMAKE_SOURCE_DIR}/tests/windows/held/held_frame_main.cpp)
target_link_libraries(musidisk-held-frame PRIVATE musidisk_program)
target_compile_definitions(musidisk-held-frame PRIVATE NOMINMAX)
target_link_options(musidisk-held-frame PRIVATE -static -s)

add_executable(musidisk-window-probe ${CMAKE_SOURCE_DIR}/tests/windows/probe/window_probe.cpp)
target_link_libraries(musidisk-window-probe PRIVATE musidisk_flags user32)
target_link_options(musidisk-window-probe PRIVATE -static -s)
