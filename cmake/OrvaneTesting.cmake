# Helpers shared by every deliverable's CMakeLists.

include(GNUInstallDirs)

# orvane_add_shared_library(NAME SOURCES ... PUBLIC_INCLUDE dir
#                           [DEPS lib...] [EXPORT_DEFINE MACRO])
# Builds NAME_core (a static library of position-independent objects that
# the deliverable's own unit tests link, so they can reach internals) and
# NAME, the shared library made of the whole core. Only the symbols marked
# for export leave the shared library.
function(orvane_add_shared_library name)
  cmake_parse_arguments(ARG "" "PUBLIC_INCLUDE;EXPORT_DEFINE" "SOURCES;DEPS" ${ARGN})
  add_library(${name}_core STATIC ${ARG_SOURCES})
  target_include_directories(${name}_core PUBLIC ${ARG_PUBLIC_INCLUDE})
  target_compile_definitions(${name}_core PRIVATE ${ARG_EXPORT_DEFINE})
  target_link_libraries(${name}_core PUBLIC ${ARG_DEPS})
  add_library(${name} SHARED ${PROJECT_SOURCE_DIR}/cmake/empty.cpp)
  target_link_libraries(${name}
    PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${name}_core>"
    PUBLIC ${ARG_DEPS})
  target_include_directories(${name} PUBLIC ${ARG_PUBLIC_INCLUDE})
  install(TARGETS ${name} LIBRARY)
endfunction()

if(ORVANE_TESTS)
  enable_testing()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# orvane_add_gtest(NAME LABEL label [THREADED] SOURCES ... LIBS ...
#                  [INCLUDES dir...] [TIMEOUT s])
# A GoogleTest program whose tests CTest runs one process each, so that
# library-wide state never leaks from one test into the next. The
# ThreadSanitizer build only builds the programs marked THREADED.
function(orvane_add_gtest name)
  cmake_parse_arguments(ARG "THREADED" "LABEL;TIMEOUT" "SOURCES;LIBS;INCLUDES" ${ARGN})
  if(ORVANE_SANITIZE STREQUAL "thread" AND NOT ARG_THREADED)
    return()
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} orvane_test_main)
  target_include_directories(${name} PRIVATE ${ARG_INCLUDES})
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT})
endfunction()

# orvane_check_exports(LIBRARY target DEF file)
# Fails when a name the .def file lists is not exported by the library.
function(orvane_check_exports)
  cmake_parse_arguments(ARG "" "LIBRARY;DEF" "" ${ARGN})
  add_test(NAME ${ARG_LIBRARY}.exports
    COMMAND ${PROJECT_SOURCE_DIR}/tests/check_exports.sh
            ${ARG_DEF} $<TARGET_FILE:${ARG_LIBRARY}>)
  set_tests_properties(${ARG_LIBRARY}.exports PROPERTIES LABELS unit)
endfunction()

# orvane_add_fuzzer(NAME SOURCES ... LIBS ... SEEDS dir [SECONDS n])
# A libFuzzer target, built only when ORVANE_FUZZ is on. CTest runs it for a
# bounded time (label fuzz) over a working corpus in the build folder that
# starts from the committed seed files.
function(orvane_add_fuzzer name)
  cmake_parse_arguments(ARG "" "SEEDS;SECONDS" "SOURCES;LIBS;INCLUDES" ${ARGN})
  if(NOT ORVANE_FUZZ)
    return()
  endif()
  if(NOT ARG_SECONDS)
    set(ARG_SECONDS 20)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${ARG_INCLUDES})
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME ${name}.fuzz
    COMMAND ${name} -max_total_time=${ARG_SECONDS} -timeout=10 -rss_limit_mb=2048
            -print_final_stats=1 ${corpus} ${ARG_SEEDS})
  set_tests_properties(${name}.fuzz PROPERTIES LABELS fuzz TIMEOUT ${ARG_SECONDS}0)
endfunction()
