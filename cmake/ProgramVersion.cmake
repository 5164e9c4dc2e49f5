# The programs answer --version with their name and the project's version.
foreach(_program zorvex-prog zorvex-radio-sim)
  if(TARGET ${_program})
    target_compile_definitions(${_program} PRIVATE ZORVEX_VERSION="${PROJECT_VERSION}")
  endif()
endforeach()
