# Shared build rules: warnings, sanitizers and the helpers every folder uses.

set(UKH_WARNINGS -Wall -Wextra -Wpedantic)
set(UKH_SANITIZE "" CACHE STRING "Sanitizers to build with, e.g. address,undefined")
set(UKH_GL_CHECK OFF CACHE BOOL "Check glGetError after every frame and report the first error")

if(UKH_SANITIZE)
  add_compile_options(-fsanitize=${UKH_SANITIZE} -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${UKH_SANITIZE})
endif()

# ukh_library(<target> [SOURCES ...] [DEPS ...] [PRIVATE_DEPS ...])
# One library per source folder; sources are listed explicitly. The repository root is the
# include root, so includes read "engine/math/Vector.h".
function(ukh_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;PRIVATE_DEPS" ${ARGN})
  if(ARG_SOURCES)
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
    target_compile_options(${name} PRIVATE ${UKH_WARNINGS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# ukh_test(<target> SOURCES ... [DEPS ...] [LABELS ...])
# A GoogleTest executable whose cases are registered with CTest one by one.
function(ukh_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_options(${name} PRIVATE ${UKH_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${ARG_LABELS}")
endfunction()

# ukh_bench(<target> SOURCES ... [DEPS ...])
function(ukh_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
  target_compile_options(${name} PRIVATE ${UKH_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()
