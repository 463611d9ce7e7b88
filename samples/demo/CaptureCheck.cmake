# Runs the demo headless in an empty WORK folder: pressing F12 (scan code 88) through a key
# script, with --capture, and with --capture after a device loss and reset. Each screen
# capture must be a 32-bit 800 x 600 BMP in which a shipped picture and the dynamic canvas
# were drawn over the black clear colour; after the reset the log must show the canvas
# repainted. Run by CTest with DEMO, DATA and WORK set.
function(check_capture what)
  file(REMOVE_RECURSE ${WORK})
  file(MAKE_DIRECTORY ${WORK})
  execute_process(COMMAND ${DEMO} --frames 10 --data ${DATA} ${ARGN} WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "demo with ${what} exited with ${rc}:\n${out}\n${err}")
  endif()
  if(NOT out MATCHES "demo: 1 screen capture\\(s\\) written to ScreenCapture.bmp")
    message(FATAL_ERROR "demo with ${what} did not report one capture:\n${out}")
  endif()
  set(capture ${WORK}/ScreenCapture.bmp)
  if(NOT EXISTS ${capture})
    message(FATAL_ERROR "no ScreenCapture.bmp after the demo with ${what}:\n${out}")
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
  # Two places no orb reaches in the first frames: the stretched hills at (10, 590), loaded
  # from the shipped files, and the dynamic canvas at (100, 130), painted with ColorFill. In
  # the bottom-up BMP, pixel (x, y) starts at 54 + ((599 - y) * 800 + x) * 4 (blue, green, red).
  foreach(point "10;590;hills backdrop" "100;130;dynamic canvas")
    list(GET point 0 x)
    list(GET point 1 y)
    list(GET point 2 place)
    math(EXPR offset "54 + ((599 - ${y}) * 800 + ${x}) * 4")
    file(READ ${capture} pixel OFFSET ${offset} LIMIT 3 HEX)
    if(pixel STREQUAL "000000")
      message(FATAL_ERROR "with ${what}, the ${place} at (${x}, ${y}) is black in the capture: it was not drawn")
    endif()
    message(STATUS "${what}: ${place} at (${x}, ${y}) = ${pixel}")
  endforeach()
  file(READ ${WORK}/VireoEngine.log log)
  string(FIND "${log}" "Demo: canvas repainted after the device reset" repaint)
  if(what MATCHES "lose-device" AND repaint EQUAL -1)
    message(FATAL_ERROR "with ${what}, the log does not show the canvas repainted after the reset:\n${log}")
  elseif(NOT what MATCHES "lose-device" AND NOT repaint EQUAL -1)
    message(FATAL_ERROR "with ${what}, a reset repaint was logged without a device loss")
  endif()
endfunction()

check_capture("F12" --script 3:88+,4:88-)
check_capture("--capture" --capture)
check_capture("--lose-device 4 --capture" --lose-device 4 --capture)
