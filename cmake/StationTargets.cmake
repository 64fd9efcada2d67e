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

# station_test(<name> SOURCES <files...> LINKS <deps...> [WIDGETS] [TSAN])
# A GoogleTest executable whose cases CTest discovers one by one. WIDGETS runs it under the
# offscreen platform with a QApplication; TSAN marks a suite that also belongs to the
# ThreadSanitizer build.
function(station_test name)
  cmake_parse_arguments(ARG "WIDGETS;TSAN" "" "SOURCES;LINKS" ${ARGN})
  if(STATION_TSAN AND NOT ARG_TSAN)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LINKS} test_support GTest::gtest GTest::gmock)
  # One variable only: a list here would be split into property names. The offscreen platform
  # is chosen by the test main.
  set(env "STATION_TEST_BINARY_DIR=${PROJECT_BINARY_DIR}")
  if(STATION_TSAN)
    if(NOT TARGET station_tsan_tests)
      add_custom_target(station_tsan_tests)
    endif()
    add_dependencies(station_tsan_tests ${name})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "${env}" TIMEOUT 120)
endfunction()
