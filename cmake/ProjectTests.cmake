# project_test(<name> SOURCES <files...> [LIBRARIES <targets...>])
# One GoogleTest binary per test area; every case becomes a ctest test.
find_package(GTest REQUIRED)
include(GoogleTest)

function(project_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    OMBRIX_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
    OMBRIX_TEST_BIN_DIR="${CMAKE_BINARY_DIR}/tests"
    OMBRIX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  # Parameterised cases are named by their index or their own name generator,
  # not by a dump of their bytes. The cases are listed when ctest starts, not
  # while building, so that a slow start (32-bit programs under emulation)
  # costs the build nothing and has the listing's own time limit.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
                       PROPERTIES TIMEOUT 120)
endfunction()
