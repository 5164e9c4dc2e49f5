# Installing on Windows (a native build with the MSVC or MinGW tool chain and Qt 6): the two
# programs go into the installation folder, and windeployqt puts beside the desktop program
# the Qt libraries, plugins and Qt's own Russian translations it needs, so the folder runs on
# a machine without Qt.
#   cmake --install build --prefix C:/ZorvexProg
install(TARGETS zorvex-prog zorvex-cli RUNTIME DESTINATION .)
if(TARGET Qt6::windeployqt)
  set(_windeployqt "$<TARGET_FILE:Qt6::windeployqt>")
else()
  get_target_property(_qmake Qt6::qmake IMPORTED_LOCATION)
  get_filename_component(_qt_bin "${_qmake}" DIRECTORY)
  find_program(ZORVEX_WINDEPLOYQT windeployqt HINTS "${_qt_bin}" REQUIRED)
  set(_windeployqt "${ZORVEX_WINDEPLOYQT}")
endif()
install(CODE "
  execute_process(
    COMMAND \"${_windeployqt}\" --no-compiler-runtime --no-system-d3d-compiler
            --dir \"\${CMAKE_INSTALL_PREFIX}\" \"\${CMAKE_INSTALL_PREFIX}/zorvex-prog.exe\"
    RESULT_VARIABLE _deploy_result)
  if(_deploy_result)
    message(FATAL_ERROR \"windeployqt failed: \${_deploy_result}\")
  endif()
")
# The C++ runtime of the tool chain (MSVC redistributable DLLs), when it is not linked in.
set(CMAKE_INSTALL_SYSTEM_RUNTIME_DESTINATION .)
include(InstallRequiredSystemLibraries)
