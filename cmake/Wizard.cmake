# tessary_add_wizard(<name> [CONSTANT value]...): one wizard executable with its own build
# constants (the cache values unless overridden) and the shared resources.
function(tessary_add_wizard name)
  tessary_build_constants(${name}_constants ${ARGN})
  add_executable(${name} WIN32 ${PROJECT_SOURCE_DIR}/src/app/main.cpp)
  target_link_libraries(${name} PRIVATE tessary_gui ${name}_constants tessary_resources)
  target_link_options(${name} PRIVATE -municode)
  # Every wizard build sits beside the shipped one, where the tests look for them.
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()
