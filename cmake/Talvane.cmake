# Shared build rules: warnings, sanitizers, and the helpers every subsystem
# folder uses to declare its library, its unit tests and its fuzz targets.

# GCC 12 at -O3 reports false -Wrestrict/-Wstringop-overflow on inlined std::string code;
# -O2 is the release level here.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")
add_compile_options(-Wall -Wextra -Wpedantic -Werror)

if(TALVANE_WITH_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(TALVANE_SANITIZE)
  add_compile_options(-fsanitize=${TALVANE_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${TALVANE_SANITIZE})
  # GCC 12 with the sanitizers' instrumentation reports std::regex's inner
  # std::function as maybe uninitialized; the release build keeps the warning.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wno-maybe-uninitialized)
  endif()
endif()

find_package(GTest REQUIRED)
include(GoogleTest)

# The Python that sees Debian's python3-* packages (python3-xlrd, python3-olefile,
# python3-gammu); a python3 earlier on PATH may be a private installation without them.
find_program(TALVANE_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT TALVANE_PYTHON)
  find_program(TALVANE_PYTHON python3)
endif()

# TALVANE_SOURCE_DIR, TALVANE_BINARY_DIR and TALVANE_PYTHON for tests and
# benchmarks: calls into one generated file, so that no absolute path stands in
# the compile line of a test source (see cmake/test_paths.h).
configure_file(${CMAKE_CURRENT_LIST_DIR}/test_paths.cpp.in ${PROJECT_BINARY_DIR}/test_paths.cpp @ONLY)
add_library(talvane_test_paths STATIC ${PROJECT_BINARY_DIR}/test_paths.cpp)
target_include_directories(talvane_test_paths PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_compile_options(talvane_test_paths INTERFACE -include ${CMAKE_CURRENT_LIST_DIR}/test_paths.h)
target_compile_definitions(talvane_test_paths INTERFACE
  "TALVANE_SOURCE_DIR=talvane_test_paths::SourceDir()"
  "TALVANE_BINARY_DIR=talvane_test_paths::BinaryDir()"
  "TALVANE_PYTHON=talvane_test_paths::Python()")

# talvane_library(<name> [DEPS <targets>...])
# A static library from every .cpp of the current folder except tests and
# fuzz targets (*_test.cpp, *_fuzz.cpp) and main.cpp.
function(talvane_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "(_test|_fuzz|/main)\\.cpp$")
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# talvane_tests(<name> [LIBS <targets>...] [LABELS <labels>...])
# One GoogleTest executable from every *_test.cpp of the current folder.
# Label "threaded" marks tests that the ThreadSanitizer build runs again.
function(talvane_tests name)
  cmake_parse_arguments(ARG "" "" "LIBS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  if(NOT sources OR NOT TALVANE_WITH_TESTS)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} talvane_test_paths GTest::gtest GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    PROPERTIES LABELS "${ARG_LABELS}"
    DISCOVERY_TIMEOUT 60)
endfunction()

# talvane_fuzz(<name> SOURCE <file> LIBS <targets>... [SECONDS n])
# A libFuzzer target; built and run (for a bounded time) only in the fuzz build.
function(talvane_fuzz name)
  cmake_parse_arguments(ARG "" "SOURCE;SECONDS" "LIBS" ${ARGN})
  if(NOT TALVANE_WITH_FUZZ)
    return()
  endif()
  if(NOT ARG_SECONDS)
    set(ARG_SECONDS 30)
  endif()
  add_executable(${name} ${ARG_SOURCE})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  file(MAKE_DIRECTORY ${corpus})
  set(seeds ${CMAKE_CURRENT_SOURCE_DIR}/testdata/${name}_seeds)
  if(NOT EXISTS ${seeds})
    set(seeds "")
  endif()
  add_test(NAME ${name}
    COMMAND ${name} -max_total_time=${ARG_SECONDS} -rss_limit_mb=2048 -timeout=10 ${corpus} ${seeds})
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 600)
endfunction()
