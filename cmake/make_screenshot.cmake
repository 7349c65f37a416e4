# Captures the screenshot of the AppStream metadata: one moment of the show, always the same.
# Usage: cmake -DCAPTURE=<musidisk-capture> -DOUTPUT=<file.png> -P make_screenshot.cmake
# Seed 7 at 30 frames per second, effect 11 (a solid over the sky) held: frame 240 shows the logo,
# the welcome panel and the solid; twice the size, every pixel a sharp square.
get_filename_component(dir ${OUTPUT} DIRECTORY)
set(frames ${dir}/screenshot-frames)
file(REMOVE_RECURSE ${frames})
execute_process(
  COMMAND ${CAPTURE} --seed 7 --fps 30 --seconds 8.1 --effect 11 --scale 2 --png ${frames} --frames 240
  RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT EXISTS ${frames}/frame_000240.png)
  message(FATAL_ERROR "musidisk-capture could not make the screenshot: ${errors}")
endif()
file(RENAME ${frames}/frame_000240.png ${OUTPUT})
file(REMOVE_RECURSE ${frames})
