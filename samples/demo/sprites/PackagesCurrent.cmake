# Packs the demo's effects source folder with vireo-pack and checks that the committed
# data/effects.pak holds exactly those bytes. Arguments: PACK, SOURCE, COMMITTED, WORK.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${PACK} ${SOURCE} ${WORK}/effects.pak WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "vireo-pack failed (${rc}) on ${SOURCE}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/effects.pak ${COMMITTED} RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "${COMMITTED} is not what vireo-pack makes of ${SOURCE}; "
                      "run vireo-artgen sprites samples/demo, then vireo-pack on its effects folder, and commit the result")
endif()
