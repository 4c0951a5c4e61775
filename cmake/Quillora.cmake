# Shared build rules: warnings, sanitizers and the helpers every folder uses to
# declare its library, tests, fuzz targets and benchmarks.

set(QUILLORA_WARNINGS -Wall -Wextra -Werror)

if(QUILLORA_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
elseif(QUILLORA_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT QUILLORA_SANITIZE STREQUAL "")
  message(FATAL_ERROR "QUILLORA_SANITIZE must be empty, 'address' or 'thread'")
endif()

if(QUILLORA_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "The fuzz targets need clang (configure with the 'fuzz' preset)")
  endif()
  # Every library is instrumented for coverage; only the fuzzers link the driver.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

set(QUILLORA_SOURCE_ROOT ${CMAKE_SOURCE_DIR}/src)

# quillora_add_library(<name> SOURCES ... [DEPS ...] [PUBLIC_DEPS ...])
# Creates the static library quillora_<name>; headers are included as "<name>/File.h".
function(quillora_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PUBLIC_DEPS" ${ARGN})
  add_library(quillora_${name} STATIC ${ARG_SOURCES})
  target_include_directories(quillora_${name} PUBLIC ${QUILLORA_SOURCE_ROOT})
  target_compile_options(quillora_${name} PRIVATE ${QUILLORA_WARNINGS})
  target_link_libraries(quillora_${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_DEPS})
endfunction()

# quillora_add_test(<name> SOURCES ... [DEPS ...] [LABELS ...])
# A GoogleTest program; each test case becomes one CTest case.
function(quillora_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${QUILLORA_WARNINGS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)  # "support/TempDir.h"
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE QUILLORA_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data"
                                             QUILLORA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES
                       PROPERTIES LABELS "${ARG_LABELS}")
endfunction()

# quillora_add_fuzzer(<name> SOURCES ... [DEPS ...])
# A libFuzzer target; its seed corpus lives in tests/fuzz/corpus/<name>/.
function(quillora_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${QUILLORA_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_property(GLOBAL APPEND PROPERTY QUILLORA_FUZZERS ${name})
endfunction()

# quillora_add_bench(<name> SOURCES ... [DEPS ...])
function(quillora_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${QUILLORA_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark)
endfunction()

# Adds the subfolders of the current folder that exist, in the given order, so each
# subsystem can bring its own CMakeLists.txt without touching a shared list.
macro(quillora_add_existing_subdirectories)
  foreach(sub ${ARGN})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${sub}/CMakeLists.txt)
      add_subdirectory(${sub})
    endif()
  endforeach()
endmacro()
