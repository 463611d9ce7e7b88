# Runs the demo headless with --capture in an empty WORK folder and checks the screen
# capture: a 32-bit 800 x 600 BMP in which a shipped picture and the dynamic canvas were
# drawn over the black clear colour. Run by CTest with DEMO, DATA and WORK set.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${DEMO} --frames 10 --data ${DATA} --capture WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "demo --capture exited with ${rc}:\n${out}\n${err}")
endif()
set(capture ${WORK}/ScreenCapture.bmp)
if(NOT EXISTS ${capture})
  message(FATAL_ERROR "no ScreenCapture.bmp after demo --capture:\n${out}")
endif()
file(SIZE ${capture} size)
# 54 header bytes and 800 x 600 pixels of 4 bytes.
if(NOT size EQUAL 1920054)
  message(FATAL_ERROR "ScreenCapture.bmp has ${size} bytes, not those of an 800 x 600 32-bit BMP")
endif()
file(READ ${capture} magic LIMIT 2 HEX)
if(NOT magic STREQUAL "424d")
  message(FATAL_ERROR "ScreenCapture.bmp does not start with BM (${magic})")
endif()
# Two places no orb reaches in the first frames: the stretched hills at (10, 590), loaded from
# the shipped files, and the dynamic canvas at (100, 130), painted with ColorFill. In the
# bottom-up BMP, pixel (x, y) starts at 54 + ((599 - y) * 800 + x) * 4 (blue, green, red).
foreach(point "10;590;hills backdrop" "100;130;dynamic canvas")
  list(GET point 0 x)
  list(GET point 1 y)
  list(GET point 2 what)
  math(EXPR offset "54 + ((599 - ${y}) * 800 + ${x}) * 4")
  file(READ ${capture} pixel OFFSET ${offset} LIMIT 3 HEX)
  if(pixel STREQUAL "000000")
    message(FATAL_ERROR "the ${what} at (${x}, ${y}) is black in the capture: it was not drawn")
  endif()
  message(STATUS "capture: ${what} at (${x}, ${y}) = ${pixel}")
endforeach()
