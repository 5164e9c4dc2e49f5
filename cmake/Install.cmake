# What `cmake --install` and the Debian package put under the prefix: the three programs in
# bin/, and on Linux the desktop entry, icons, AppStream metadata, manual pages, shell
# completion and documentation under share/.
include(GNUInstallDirs)

# A Windows build of the desktop program installs its programs beside the Qt libraries
# windeployqt brings (WindowsDeploy.cmake), not in bin/.
if(NOT (WIN32 AND ZORVEX_BUILD_GUI))
  foreach(_program zorvex-prog zorvex-cli zorvex-radio-sim)
    if(TARGET ${_program})
      install(TARGETS ${_program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
  endforeach()
endif()

if(UNIX AND NOT APPLE)
  set(_dist ${PROJECT_SOURCE_DIR}/dist)
  set(ZORVEX_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/zorvex-prog)
  if(TARGET zorvex-prog)
    install(FILES ${_dist}/zorvex-prog.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${_dist}/org.zorvex.ZorvexProg.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(DIRECTORY ${_dist}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
  endif()
  install(FILES ${_dist}/bash-completion/zorvex-cli
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
  if(ZORVEX_MAN_PAGES)
    install(FILES ${ZORVEX_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()

  # Documentation: the README, the example configuration, the copyright and the change log
  # (compressed, as Debian keeps it).
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${_dist}/copyright
          DESTINATION ${ZORVEX_INSTALL_DOCDIR})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${ZORVEX_INSTALL_DOCDIR}/examples)
  find_program(GZIP_EXECUTABLE gzip)
  if(GZIP_EXECUTABLE)
    set(_changelog ${PROJECT_BINARY_DIR}/changelog.gz)
    add_custom_command(
      OUTPUT ${_changelog}
      COMMAND ${GZIP_EXECUTABLE} -9n -c ${_dist}/changelog > ${_changelog}
      DEPENDS ${_dist}/changelog
      COMMENT "Compressing the change log")
    add_custom_target(zorvex_changelog ALL DEPENDS ${_changelog})
    install(FILES ${_changelog} DESTINATION ${ZORVEX_INSTALL_DOCDIR})
  endif()
endif()
