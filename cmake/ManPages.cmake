# Manual pages of the three programs, made from their --help output with help2man and
# compressed as Debian wants them: build/man/<program>.1.gz. Skipped (with a note) when
# help2man is missing, in a sanitizer build, and when the programs cannot run here.
option(ZORVEX_BUILD_MAN "Make the manual pages with help2man" ON)

set(ZORVEX_MAN_PAGES "")
if(ZORVEX_BUILD_MAN AND UNIX AND NOT CMAKE_CROSSCOMPILING AND NOT ZORVEX_SANITIZE
   AND NOT ZORVEX_BUILD_FUZZ)
  find_program(HELP2MAN_EXECUTABLE help2man)
  find_program(GZIP_EXECUTABLE gzip)
  if(NOT HELP2MAN_EXECUTABLE OR NOT GZIP_EXECUTABLE)
    message(STATUS "help2man or gzip not found: no manual pages (scripts/package.sh installs them)")
  else()
    set(_man_dir ${PROJECT_BINARY_DIR}/man)
    file(MAKE_DIRECTORY ${_man_dir})
    # dist/man/<program>.h2m adds the NAME line and the sections --help does not have.
    foreach(_program zorvex-prog zorvex-cli zorvex-radio-sim)
      if(NOT TARGET ${_program})
        continue()
      endif()
      set(_include ${PROJECT_SOURCE_DIR}/dist/man/${_program}.h2m)
      add_custom_command(
        OUTPUT ${_man_dir}/${_program}.1.gz
        COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen
                ${HELP2MAN_EXECUTABLE} --no-info --section=1 --locale=C.UTF-8
                --version-string=${PROJECT_VERSION} --include=${_include}
                --output=${_man_dir}/${_program}.1 $<TARGET_FILE:${_program}>
        COMMAND ${GZIP_EXECUTABLE} -9nf ${_man_dir}/${_program}.1
        DEPENDS ${_program} ${_include}
        COMMENT "Manual page ${_program}.1"
        VERBATIM)
      list(APPEND ZORVEX_MAN_PAGES ${_man_dir}/${_program}.1.gz)
    endforeach()
    add_custom_target(zorvex_man ALL DEPENDS ${ZORVEX_MAN_PAGES})
  endif()
endif()
