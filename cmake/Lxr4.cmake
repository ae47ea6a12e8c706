# Helpers that give every target of the program the same warnings and sanitizers.

set(LXR4_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wold-style-cast -Wnon-virtual-dtor)
if(LXR4_WERROR)
  list(APPEND LXR4_WARNINGS -Werror)
endif()

if(LXR4_FUZZ)
  # Every library carries the fuzzer's coverage and the sanitizers; the fuzz
  # targets (tests/fuzz) link the fuzzer's own main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(LXR4_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# lxr4_library(NAME [SOURCES...] [DEPS targets...]): no sources, headers only.
function(lxr4_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(ARG_SOURCES)
    add_library(${name} STATIC ${ARG_SOURCES} ${ARG_UNPARSED_ARGUMENTS})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_options(${name} PRIVATE ${LXR4_WARNINGS})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()  # headers only
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
  # The table of allowed includes (tests/layers) is drawn from these.
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set_property(GLOBAL APPEND PROPERTY LXR4_LIBRARIES ${name})
  set_property(GLOBAL PROPERTY LXR4_FOLDER_${name} ${folder})
  set_property(GLOBAL PROPERTY LXR4_DEPS_${name} ${ARG_DEPS})
endfunction()

# lxr4_soname(VAR NAME HINTS...): the file name the loader knows the shared
# library NAME by (its SONAME, as libcfitsio.so.10), for a library the program
# loads itself only when it is needed.
function(lxr4_soname var name)
  find_library(LXR4_${name}_LIBRARY NAMES ${name} HINTS ${ARGN} REQUIRED)
  execute_process(COMMAND ${CMAKE_OBJDUMP} -p ${LXR4_${name}_LIBRARY} OUTPUT_VARIABLE dump ERROR_QUIET)
  if(dump MATCHES "SONAME +([^ \n]+)")
    set(${var} ${CMAKE_MATCH_1} PARENT_SCOPE)
  else()
    get_filename_component(file ${LXR4_${name}_LIBRARY} NAME)
    set(${var} ${file} PARENT_SCOPE)
  endif()
endfunction()

# lxr4_layer_table(FILE): writes, for each library folder, a line naming the
# folder and every folder whose headers it may include: its own and those of
# the libraries it links, directly or through others.
function(lxr4_layer_table file)
  get_property(libraries GLOBAL PROPERTY LXR4_LIBRARIES)
  set(text "")
  foreach(library IN LISTS libraries)
    set(reached "")
    set(pending ${library})
    while(pending)
      list(POP_FRONT pending current)
      if(current IN_LIST reached OR NOT current IN_LIST libraries)
        continue()
      endif()
      list(APPEND reached ${current})
      get_property(deps GLOBAL PROPERTY LXR4_DEPS_${current})
      list(APPEND pending ${deps})
    endwhile()
    set(line "")
    foreach(lib IN LISTS reached)
      get_property(folder GLOBAL PROPERTY LXR4_FOLDER_${lib})
      string(APPEND line " ${folder}")
    endforeach()
    string(APPEND text "${line}\n")
  endforeach()
  file(WRITE ${file} "${text}")
endfunction()

# lxr4_test(NAME SOURCES... [DEPS targets...]): a GoogleTest executable, discovered by ctest.
function(lxr4_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  find_package(GTest REQUIRED)
  include(GoogleTest)
  add_executable(${name} ${ARG_SOURCES} ${ARG_UNPARSED_ARGUMENTS})
  target_compile_options(${name} PRIVATE ${LXR4_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    LXR4_SOURCE_DIR="${PROJECT_SOURCE_DIR}" LXR4_SAMPLES_DIR="${PROJECT_SOURCE_DIR}/samples")
  lxr4_discover_tests(${name} LABELS unit)
endfunction()

# What every test runs with: LeakSanitizer skips the leaks of the third-party
# libraries named in tests/lsan.supp, silently (a golden-window run's errors
# must equal the scripted run's), and no test waits longer than its timeout.
set(LXR4_TEST_ENVIRONMENT
    "LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
set(LXR4_TEST_TIMEOUT 240)  # a window run takes up to a minute on a loaded machine

# lxr4_discover_tests(TARGET LABELS label [RESOURCE_LOCK name] [ENVIRONMENT VAR=value...]): the GoogleTest
# cases of TARGET as tests with the label, the timeout and the environment. The
# properties are set by a file ctest reads after the discovered tests, since
# gtest_discover_tests splits a list value such as ENVIRONMENT "A;B" apart.
function(lxr4_discover_tests target)
  cmake_parse_arguments(ARG "" "LABELS;RESOURCE_LOCK" "ENVIRONMENT" ${ARGN})
  include(GoogleTest)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
  set(environment ${LXR4_TEST_ENVIRONMENT} ${ARG_ENVIRONMENT})
  set(lock "")
  if(ARG_RESOURCE_LOCK)
    set(lock " RESOURCE_LOCK ${ARG_RESOURCE_LOCK}")
  endif()
  set(file ${CMAKE_CURRENT_BINARY_DIR}/${target}_properties.cmake)
  file(WRITE ${file}
    "if(DEFINED ${target}_TESTS)\n"
    "  set_tests_properties(\${${target}_TESTS} PROPERTIES LABELS ${ARG_LABELS}\n"
    "    TIMEOUT ${LXR4_TEST_TIMEOUT}${lock} ENVIRONMENT [==[${environment}]==])\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${file})
endfunction()
