# The Debian package zorvex-prog_<version>_<arch>.deb, made by scripts/package.sh with
# `cpack -G DEB`. Its Depends are computed from the programs' shared libraries
# (dpkg-shlibdeps); the Qt platform plugins, which Qt loads at run time, are added by hand.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorvex-prog)
set(CPACK_PACKAGE_VENDOR "Zorvex Prog developers")
set(CPACK_PACKAGE_CONTACT "Zorvex Prog developers <zorvex-prog@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programming tool for ZEVRAN 5T-17LM mobile VHF radios")
# Lines of the extended description, at most 80 characters each.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Zorvex Prog reads the two channel tables and the settings table of a"
  "ZEVRAN 5T-17LM mobile VHF radio over a serial cable, lets the technician edit"
  "the 200 channels (frequencies, CTCSS and DCS subtones, call tones, power"
  "levels, flags) and the station settings, and writes everything back."
  "Configurations are kept as XML files; the channel list can be exported to a"
  "spreadsheet."
  ""
  "The package holds the desktop program zorvex-prog (Qt, Russian interface),"
  "the command-line tool zorvex-cli for technicians and scripts, and"
  "zorvex-radio-sim, a simulated radio on a pseudo-terminal for rehearsal"
  "without hardware.")
# The package needs only the programs and their files (the zorvex_package_parts target), not the
# tests and benchmarks of the same tree.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(_package_parts zorvex-prog zorvex-cli zorvex-radio-sim zorvex_man zorvex_changelog)
set(_package_targets "")
foreach(_part IN LISTS _package_parts)
  if(TARGET ${_part})
    list(APPEND _package_targets ${_part})
  endif()
endforeach()
add_custom_target(zorvex_package_parts DEPENDS ${_package_targets})

set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET zorvex-prog)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
endif()
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
