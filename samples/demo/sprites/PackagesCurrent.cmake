# Packs each of the demo's package source folders with vireo-pack and checks that the
# committed package file holds exactly those bytes. Arguments: PACK, SPRITES (the source
# folders' parent), DATA (where the package files are committed), NAMES (comma-separated
# folder names, each packed into NAME.pak), WORK.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
string(REPLACE "," ";" names "${NAMES}")
foreach(name IN LISTS names)
  execute_process(COMMAND ${PACK} ${SPRITES}/${name} ${WORK}/${name}.pak WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "vireo-pack failed (${rc}) on ${SPRITES}/${name}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/${name}.pak ${DATA}/${name}.pak RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${DATA}/${name}.pak is not what vireo-pack makes of ${SPRITES}/${name}; "
                        "run vireo-artgen sprites samples/demo, then vireo-pack on that folder, and commit the result")
  endif()
endforeach()
