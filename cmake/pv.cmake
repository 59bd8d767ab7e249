# pv_library(<target> [DEPS lib...] [PRIVATE_DEPS lib...] [TEST_DEPS lib...] [OWN_PCH]
#            [NO_UNITY file...])
# Builds every .cpp below the calling folder (except tests/) into a static library,
# and every .cpp in tests/ into one GoogleTest binary registered with CTest.
#
# The build tree stays small and quick: every library shares the one precompiled
# header of pv_pch, every test binary the one of pv_pch_tests, and each target is
# compiled as unity batches. A target whose flags differ from the others' (Qt wants
# position-independent code) says OWN_PCH and precompiles for itself. NO_UNITY names
# files (relative to the folder) whose file-local names clash with another file's;
# they are compiled on their own.
set(PV_PCH_HEADERS <string> <vector> <memory> <map> <unordered_map> <functional>
    <algorithm> <cstdint> <cstring> <stdexcept> <utility>)
set(PV_UNITY_BATCH 12)

set(pv_pch_stub ${CMAKE_BINARY_DIR}/pv_pch_stub.cpp)
file(WRITE ${pv_pch_stub} "")
add_library(pv_pch STATIC ${pv_pch_stub})
target_precompile_headers(pv_pch PRIVATE ${PV_PCH_HEADERS})
add_library(pv_pch_tests STATIC ${pv_pch_stub})
target_link_libraries(pv_pch_tests PRIVATE GTest::gtest GTest::gmock)
target_compile_definitions(pv_pch_tests PRIVATE PV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_precompile_headers(pv_pch_tests PRIVATE <gtest/gtest.h> ${PV_PCH_HEADERS})

function(pv_unity target)
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${PV_UNITY_BATCH})
endfunction()

function(pv_library target)
  cmake_parse_arguments(PV "OWN_PCH" "" "DEPS;PRIVATE_DEPS;TEST_DEPS;TEST_LABELS;NO_UNITY" ${ARGN})
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
  if(PV_OWN_PCH)
    target_precompile_headers(${target} PRIVATE ${PV_PCH_HEADERS})
  else()
    target_precompile_headers(${target} REUSE_FROM pv_pch)
  endif()
  pv_unity(${target})
  foreach(f IN LISTS PV_NO_UNITY)
    set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/${f} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  endforeach()

  file(GLOB test_srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  if(test_srcs)
    add_executable(${target}_tests ${test_srcs})
    target_link_libraries(${target}_tests PRIVATE ${target} ${PV_TEST_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${target}_tests PRIVATE PV_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    if(PV_OWN_PCH)
      target_precompile_headers(${target}_tests PRIVATE <gtest/gtest.h> ${PV_PCH_HEADERS})
    else()
      target_precompile_headers(${target}_tests REUSE_FROM pv_pch_tests)
    endif()
    pv_unity(${target}_tests)
    gtest_discover_tests(${target}_tests DISCOVERY_MODE PRE_TEST
      PROPERTIES LABELS "${target};${PV_TEST_LABELS}" TIMEOUT 300
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
endfunction()
