# cmake -DROOT=<source dir> -DFILES=<"layer path" lines> -DORDER=<layers, lowest first> -P checklayers.cmake
#
# Fails when a source includes a header of a higher layer, or a header of
# the source tree that belongs to no layer (the simulator, the tests).
file(STRINGS "${FILES}" kp_lines)
set(kp_sources "")
foreach(line IN LISTS kp_lines)
  string(REPLACE " " ";" parts "${line}")
  list(GET parts 0 layer)
  list(GET parts 1 path)
  list(FIND ORDER "${layer}" rank)
  set("rank_of_${path}" ${rank})
  set("layer_of_${path}" ${layer})
  list(APPEND kp_sources "${path}")
endforeach()

set(kp_faults "")
foreach(path IN LISTS kp_sources)
  file(STRINGS "${ROOT}/${path}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/[^\"]+\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" header "${line}")
    if(NOT EXISTS "${ROOT}/${header}")
      continue()   # a generated or system header
    endif()
    if(NOT DEFINED "rank_of_${header}")
      list(APPEND kp_faults "${path} (${layer_of_${path}}) includes ${header}, which is in no layer of the program")
    elseif(rank_of_${header} GREATER rank_of_${path})
      list(APPEND kp_faults "${path} (${layer_of_${path}}) includes ${header} (${layer_of_${header}})")
    endif()
  endforeach()
endforeach()

if(kp_faults)
  list(JOIN kp_faults "\n  " kp_text)
  message(FATAL_ERROR "Includes against the layers:\n  ${kp_text}")
endif()
