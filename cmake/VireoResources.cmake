# vireo_add_resources(<target> <name> <type> <file> [<name> <type> <file>]...)
# Builds files into a game's executable as named, typed resources, the way a Win32 resource
# script does: the engine finds them with FindResourceW(NULL, name, type) (a WAVE resource
# named like a sound file plays when that file cannot be opened). Relative files are taken
# from the calling directory; the table is regenerated when a file changes.
set(VIREO_RESOURCE_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/VireoResourceSource.cmake")

function(vireo_add_resources target)
  list(LENGTH ARGN count)
  math(EXPR rest "${count} % 3")
  if(count EQUAL 0 OR NOT rest EQUAL 0)
    message(FATAL_ERROR "vireo_add_resources(${target} ...): give name, type and file for each resource")
  endif()
  get_property(serial TARGET ${target} PROPERTY VIREO_RESOURCE_SERIAL)
  if(NOT serial)
    set(serial 0)
  endif()
  math(EXPR serial "${serial} + 1")
  set_property(TARGET ${target} PROPERTY VIREO_RESOURCE_SERIAL ${serial})

  set(manifest "")
  set(files "")
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 3)
    math(EXPR t "${i} + 1")
    math(EXPR f "${i} + 2")
    list(GET ARGN ${i} name)
    list(GET ARGN ${t} type)
    list(GET ARGN ${f} file)
    get_filename_component(file "${file}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    # One resource per three lines, so names may hold any character but a line break.
    string(APPEND manifest "${name}\n${type}\n${file}\n")
    list(APPEND files "${file}")
  endforeach()

  set(base "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources_${serial}")
  # Written through a copy so an unchanged manifest keeps its time and the table is not remade.
  file(WRITE "${base}.txt.in" "${manifest}")
  configure_file("${base}.txt.in" "${base}.txt" COPYONLY)
  add_custom_command(OUTPUT "${base}.cpp"
    COMMAND ${CMAKE_COMMAND} -DMANIFEST=${base}.txt -DOUTPUT=${base}.cpp -P "${VIREO_RESOURCE_SCRIPT}"
    DEPENDS ${files} "${base}.txt" "${VIREO_RESOURCE_SCRIPT}"
    COMMENT "Resource table for ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE "${base}.cpp")
endfunction()
