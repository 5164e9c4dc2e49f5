# One static library per subsystem: every .cpp in the folder except main.cpp.
# src/ is the include root, so code includes "model/Channel.h".
function(zorvex_subsystem target dir)
  file(GLOB _sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  list(FILTER _sources EXCLUDE REGEX ".*/main\\.cpp$")
  if(_sources)
    file(GLOB _headers CONFIGURE_DEPENDS ${dir}/*.h)
    add_library(${target} STATIC ${_sources} ${_headers})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARGN})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${ARGN})
  endif()
endfunction()

set(ZORVEX_TEST_DEFINITIONS
  ZORVEX_BINARY_DIR="${PROJECT_BINARY_DIR}"
  ZORVEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")

# One GoogleTest executable of the given sources (a list). A cross-compiled one is not run
# at build time to list its tests: it is one test, run by its own script.
function(zorvex_gtest_files target sources)
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${target} PRIVATE ${ZORVEX_TEST_DEFINITIONS})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS core TIMEOUT 300)
  endif()
endfunction()

# One GoogleTest executable per test folder: every .cpp in it.
function(zorvex_gtest target dir)
  file(GLOB _sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(_sources)
    zorvex_gtest_files(${target} "${_sources}" ${ARGN})
  endif()
endfunction()

# One Qt Test executable per tests/ui/tst_*.cpp file, run on the offscreen platform.
function(zorvex_qtests dir)
  file(GLOB _sources CONFIGURE_DEPENDS ${dir}/tst_*.cpp)
  file(GLOB _support CONFIGURE_DEPENDS ${dir}/support/*.cpp)
  foreach(_src IN LISTS _sources)
    get_filename_component(_name ${_src} NAME_WE)
    add_executable(${_name} ${_src} ${_support})
    target_link_libraries(${_name} PRIVATE ${ARGN} Qt6::Test Qt6::Widgets)
    target_include_directories(${_name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${_name} PRIVATE ${ZORVEX_TEST_DEFINITIONS})
    add_test(NAME ${_name} COMMAND ${_name})
    set_tests_properties(${_name} PROPERTIES LABELS ui TIMEOUT 300
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0")
  endforeach()
endfunction()
