# What the three programs share: --version prints their name and the project's version, and
# on Linux they are linked with full RELRO (relocations resolved at start, then read-only).
foreach(_program zorvex-prog zorvex-cli zorvex-radio-sim)
  if(NOT TARGET ${_program})
    continue()
  endif()
  if(NOT _program STREQUAL "zorvex-cli")
    target_compile_definitions(${_program} PRIVATE ZORVEX_VERSION="${PROJECT_VERSION}")
  endif()
  if(UNIX AND NOT APPLE)
    target_link_options(${_program} PRIVATE -Wl,-z,relro -Wl,-z,now)
  endif()
endforeach()
