# Project-wide target helpers: flags for project code, libraries and tests.

# Narrow string literals are compiled to GBK (code page 936), the code page of
# the users' systems, so 8-bit text in the program is the same bytes it sends
# and shows. Sources are UTF-8; wide literals are UTF-16. Project code builds
# without warnings: one fails the build.
set(MEVRA_CXX_FLAGS -Wall -Wextra -Werror -finput-charset=UTF-8 -fexec-charset=GBK)
set(MEVRA_LINK_FLAGS -static -static-libgcc -static-libstdc++)

function(mevra_flags target)
  target_compile_options(${target} PRIVATE ${MEVRA_CXX_FLAGS})
  target_compile_definitions(${target} PRIVATE NOMINMAX STRICT WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601)
endfunction()

# mevra_library(name SOURCES ... [DEPS ...])
function(mevra_library name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  mevra_flags(${name})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${A_DEPS})
endfunction()

# mevra_program(name SOURCES ... [DEPS ...] [CONSOLE])
function(mevra_program name)
  cmake_parse_arguments(A "CONSOLE" "" "SOURCES;DEPS" ${ARGN})
  if(A_CONSOLE)
    add_executable(${name} ${A_SOURCES})
  else()
    add_executable(${name} WIN32 ${A_SOURCES})
  endif()
  mevra_flags(${name})
  target_link_options(${name} PRIVATE ${MEVRA_LINK_FLAGS})
  target_link_libraries(${name} PRIVATE ${A_DEPS})
endfunction()

# mevra_test(name SOURCES ... [DEPS ...] [LOCKS ...])
# A GoogleTest program run by CTest under Wine. LOCKS names shared resources
# (for example "input" for tests that move the real mouse or keyboard focus)
# so that CTest never runs two holders at once.
function(mevra_test name)
  cmake_parse_arguments(A "" "" "SOURCES;DEPS;LOCKS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  mevra_flags(${name})
  target_link_options(${name} PRIVATE ${MEVRA_LINK_FLAGS})
  target_link_libraries(${name} PRIVATE mevra_test_support ${A_DEPS})
  target_precompile_headers(${name} REUSE_FROM mevra_test_support)
  string(REPLACE "/" "\\" results "Z:${CMAKE_BINARY_DIR}/test-results/${name}.xml")
  add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${results})
  string(REPLACE "/" "\\" artefacts "Z:${MEVRA_ARTEFACTS}")
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "MEVRA_ARTEFACTS=${artefacts}"
    TIMEOUT 300)
  if(A_LOCKS)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${A_LOCKS}")
  endif()
endfunction()
