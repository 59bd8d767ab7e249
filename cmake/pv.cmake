# pv_library(<target> [DEPS lib...] [PRIVATE_DEPS lib...] [TEST_DEPS lib...])
# Builds every .cpp below the calling folder (except tests/) into a static library,
# and every .cpp in tests/ into one GoogleTest binary registered with CTest.
set(PV_PCH_HEADERS <string> <vector> <memory> <map> <unordered_map> <functional>
    <algorithm> <cstdint> <cstring> <stdexcept> <utility>)

function(pv_library target)
  cmake_parse_arguments(PV "" "" "DEPS;PRIVATE_DEPS;TEST_DEPS;TEST_LABELS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  list(FILTER srcs EXCLUDE REGEX "/tests/")
  if(NOT srcs)
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/${target}_empty.cpp)
    file(WRITE ${stub} "")
    set(srcs ${stub})
  endif()
  add_library(${target} STATIC ${srcs})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${PV_DEPS} PRIVATE ${PV_PRIVATE_DEPS})
  target_precompile_headers(${target} PRIVATE ${PV_PCH_HEADERS})

  file(GLOB test_srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  if(test_srcs)
    add_executable(${target}_tests ${test_srcs})
    target_link_libraries(${target}_tests PRIVATE ${target} ${PV_TEST_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_precompile_headers(${target}_tests PRIVATE <gtest/gtest.h> ${PV_PCH_HEADERS})
    target_compile_definitions(${target}_tests PRIVATE PV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    gtest_discover_tests(${target}_tests DISCOVERY_MODE PRE_TEST
      PROPERTIES LABELS "${target};${PV_TEST_LABELS}" TIMEOUT 300
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
endfunction()
