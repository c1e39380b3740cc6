# The layers of the program's libraries, lowest first. A source may include
# headers of its own layer and of lower ones only, and none of the simulator,
# the tests or the tools; the libraries link the same way (CMakeLists.txt).
# The check runs on every build, before any layer compiles.
set(kp_layer_order ${KESTRELPACK_CORE_LAYERS} kestrelpack_support kestrelpack_gui)
set(kp_layer_files "")
foreach(layer IN LISTS kp_layer_order)
  get_target_property(kp_sources ${layer} SOURCES)
  foreach(source IN LISTS kp_sources)
    get_filename_component(source "${source}" ABSOLUTE BASE_DIR "${PROJECT_SOURCE_DIR}")
    file(RELATIVE_PATH source "${PROJECT_SOURCE_DIR}" "${source}")
    if(source MATCHES "\\.(h|cpp)$")
      string(APPEND kp_layer_files "${layer} ${source}\n")
    endif()
  endforeach()
endforeach()
file(WRITE "${PROJECT_BINARY_DIR}/layer-files.txt" "${kp_layer_files}")
add_custom_target(kp_check_layers ALL
  COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} -DFILES=${PROJECT_BINARY_DIR}/layer-files.txt
          "-DORDER=${kp_layer_order}" -P ${PROJECT_SOURCE_DIR}/cmake/checklayers.cmake
  COMMENT "Checking the includes of the library layers"
  VERBATIM)
foreach(layer IN LISTS kp_layer_order)
  add_dependencies(${layer} kp_check_layers)
endforeach()
