# station_library(<target> LINKS <deps...>)
# One library per subsystem folder: every .cpp/.h in the folder (not its subfolders) belongs to it,
# so adding a class is adding its two files.
function(station_library target)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_LINKS})
endfunction()

# The sanitizer builds build one custom target each: station_tsan_tests, station_asan_tests or
# station_fuzz_targets, which pulls in only what its members link.
if(STATION_TSAN)
  add_custom_target(station_tsan_tests)
elseif(STATION_ASAN)
  add_custom_target(station_asan_tests)
elseif(STATION_FUZZ)
  add_custom_target(station_fuzz_targets)
endif()

# station_test(<name> SOURCES <files...> LINKS <deps...> [WIDGETS] [TSAN] [ASAN])
# A GoogleTest executable whose cases CTest discovers one by one. WIDGETS runs it under the
# offscreen platform with a QApplication; TSAN marks a suite that also belongs to the
# ThreadSanitizer build, ASAN one that also belongs to the AddressSanitizer and UBSan build (the
# suites that need no widgets). The fuzz build has no suites.
function(station_test name)
  cmake_parse_arguments(ARG "WIDGETS;TSAN;ASAN" "" "SOURCES;LINKS" ${ARGN})
  if((STATION_TSAN AND NOT ARG_TSAN) OR (STATION_ASAN AND NOT ARG_ASAN) OR STATION_FUZZ)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LINKS} test_support GTest::gtest GTest::gmock)
  # One variable only: a list here would be split into property names. The offscreen platform
  # is chosen by the test main.
  set(env "STATION_TEST_BINARY_DIR=${PROJECT_BINARY_DIR}")
  if(STATION_TSAN)
    add_dependencies(station_tsan_tests ${name})
  elseif(STATION_ASAN)
    add_dependencies(station_asan_tests ${name})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "${env}" TIMEOUT 120)
endfunction()
