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
  # Deferred: the arguments of a deferred call are read when it runs.
  cmake_language(EVAL CODE "cmake_language(DEFER CALL mevra_link_resources [[${name}]])")
endfunction()

# mevra_test(name SOURCES ... [DEPS ...] [LOCKS ...] [APPLICATION])
# A GoogleTest program run by CTest under Wine. LOCKS names shared resources
# (for example "input" for tests that move the real mouse or keyboard focus)
# so that CTest never runs two holders at once. APPLICATION starts the forms
# unit (the application object) around the tests, for programs showing forms.
# Every program also holds "display": the test programs of one run share one
# virtual display, where a window shown by one program takes the activation
# and the keyboard focus from another's, so they run one after another.
function(mevra_test name)
  cmake_parse_arguments(A "APPLICATION" "" "SOURCES;DEPS;LOCKS" ${ARGN})
  if(A_APPLICATION)
    list(APPEND A_SOURCES ${PROJECT_SOURCE_DIR}/tests/support/ApplicationEnvironment.cpp)
  endif()
  add_executable(${name} ${A_SOURCES})
  mevra_flags(${name})
  target_link_options(${name} PRIVATE ${MEVRA_LINK_FLAGS})
  target_link_libraries(${name} PRIVATE mevra_test_support ${A_DEPS})
  target_precompile_headers(${name} REUSE_FROM mevra_test_support)
  # Deferred: the arguments of a deferred call are read when it runs.
  cmake_language(EVAL CODE "cmake_language(DEFER CALL mevra_link_resources [[${name}]])")
  string(REPLACE "/" "\\" results "Z:${CMAKE_BINARY_DIR}/test-results/${name}.xml")
  add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${results})
  string(REPLACE "/" "\\" artefacts "Z:${MEVRA_ARTEFACTS}")
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "MEVRA_ARTEFACTS=${artefacts}"
    TIMEOUT 300)
  set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "display;${A_LOCKS}")
endfunction()

# mevra_resources(target FOLDER)
# Links the cursors, bitmaps and icons in FOLDER (relative to the calling
# CMakeLists.txt; the files tools/art makes from the folder's text art) into
# every program that uses `target`, or into `target` itself when it is a
# program. Each file is a resource named after it: VT_HEADERSPLIT.cur becomes
# the cursor "VT_HEADERSPLIT". A program gets one resource script holding the
# folders of everything it links: windres numbers the images of cursors and
# icons from 1 in each script, so two scripts would both hold cursor image 1,
# which the linker cannot merge.
function(mevra_resources target folder)
  get_filename_component(dir ${folder} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  file(GLOB files CONFIGURE_DEPENDS ${dir}/*.bmp ${dir}/*.cur ${dir}/*.ico)
  if(NOT files)
    message(FATAL_ERROR "mevra_resources: no cursors, bitmaps or icons in ${dir}")
  endif()
  set_property(TARGET ${target} APPEND PROPERTY MEVRA_RESOURCE_DIRS ${dir})
  set_property(GLOBAL APPEND PROPERTY MEVRA_RESOURCE_FOLDERS ${dir})
endfunction()

# The resource folders of `target` and of everything it links, in link order.
function(mevra_collect_resource_dirs target dirs_var seen_var)
  set(dirs ${${dirs_var}})
  set(seen ${${seen_var}})
  if(NOT TARGET ${target} OR ${target} IN_LIST seen)
    return()
  endif()
  list(APPEND seen ${target})
  get_target_property(own ${target} MEVRA_RESOURCE_DIRS)
  if(own)
    list(APPEND dirs ${own})
  endif()
  get_target_property(kind ${target} TYPE)
  set(links)
  if(NOT kind STREQUAL "INTERFACE_LIBRARY")
    get_target_property(direct ${target} LINK_LIBRARIES)
    if(direct)
      list(APPEND links ${direct})
    endif()
  endif()
  get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
  if(interface)
    list(APPEND links ${interface})
  endif()
  foreach(link IN LISTS links)
    string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
    if(TARGET ${link})
      mevra_collect_resource_dirs(${link} dirs seen)
    endif()
  endforeach()
  set(${dirs_var} ${dirs} PARENT_SCOPE)
  set(${seen_var} ${seen} PARENT_SCOPE)
endfunction()

# Run (deferred) for every program: one script of every folder it carries.
function(mevra_link_resources program)
  set(dirs)
  set(seen)
  mevra_collect_resource_dirs(${program} dirs seen)
  list(REMOVE_DUPLICATES dirs)
  if(NOT dirs)
    return()
  endif()
  set(script "// Made by mevra_resources for ${program}.\n")
  set(all_files)
  foreach(dir IN LISTS dirs)
    file(GLOB files CONFIGURE_DEPENDS ${dir}/*.bmp ${dir}/*.cur ${dir}/*.ico)
    list(SORT files)
    foreach(file IN LISTS files)
      get_filename_component(name ${file} NAME_WE)
      get_filename_component(ext ${file} LAST_EXT)
      if(ext STREQUAL ".bmp")
        set(type BITMAP)
      elseif(ext STREQUAL ".cur")
        set(type CURSOR)
      else()
        set(type ICON)
      endif()
      string(APPEND script "${name} ${type} \"${file}\"\n")
    endforeach()
    list(APPEND all_files ${files})
  endforeach()
  get_target_property(binary_dir ${program} BINARY_DIR)
  set(rc ${binary_dir}/${program}_resources.rc)
  file(CONFIGURE OUTPUT ${rc} CONTENT "${script}")
  # windres does not track the files a resource script names.
  set_source_files_properties(${rc} TARGET_DIRECTORY ${program} PROPERTIES OBJECT_DEPENDS "${all_files}")
  target_sources(${program} PRIVATE ${rc})
endfunction()
