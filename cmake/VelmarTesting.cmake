# Test registration for Velmar. Every test runs natively and again, cross-compiled,
# under Wine (scripts/wine-run, the toolchain file's emulator).
#
#   velmar_add_gtest(NAME <target> SOURCES <file>... [LIBS <lib>...]
#                    [NEEDS_DISPLAY] [OWN_MAIN] [TIMEOUT <seconds>] [LABELS <label>...])
#
#     Builds a GoogleTest executable from SOURCES, linked to LIBS and to GoogleTest
#     (with gtest_main unless OWN_MAIN), compiled with VELMAR_WARNINGS, and registers
#     it as ONE ctest test named <target>. One process per executable: under Wine a
#     process costs 0.1-0.3 s even with a warm wineserver, and a process per test
#     case (gtest_discover_tests) made a suite of 38 cases take 55 s instead of
#     41 s. ctest's output on failure
#     shows GoogleTest's report, which names the failing cases; run a single case
#     with --gtest_filter (through scripts/wine-run for the .exe).
#
#     NEEDS_DISPLAY: the test creates windows. Under Wine that needs an X server:
#     scripts/test runs the Windows tests inside `xvfb-run -a`, with one warm
#     wineserver for the whole run (its desktop process belongs to that display).
#     Run by hand without DISPLAY, such a test fails at once with a message saying
#     so. These tests carry the label `display`, run one at a time (they share the
#     display, the focus and the foreground window), and get a shorter default
#     timeout, since a window waiting on a dialog that nobody closes hangs.
#
#   velmar_add_command_test(NAME <name> COMMAND <program> [<arg>...]
#                           [WORKING_DIRECTORY <dir>] [ENVIRONMENT <VAR=value>...]
#                           [NEEDS_DISPLAY] [TIMEOUT <seconds>] [LABELS <label>...])
#
#     Registers a plain command (e.g. an end-to-end script) with ctest. A target
#     name as <program> is started through Wine in the Windows build. A script
#     that starts our programs itself finds the launcher in VELMAR_EMULATOR: empty
#     natively, scripts/wine-run in the Windows build; run `$VELMAR_EMULATOR "$exe"`
#     (unquoted, so that it vanishes when empty). Pass programs as generator
#     expressions: `$<TARGET_FILE:velmar-db>`.
#
# Every test gets a TIMEOUT: VELMAR_TEST_TIMEOUT, or VELMAR_DISPLAY_TEST_TIMEOUT
# with NEEDS_DISPLAY, unless TIMEOUT is given. A test that crashes fails (under Wine
# the crash exits with status 5); one that hangs is killed at its timeout.

include_guard(GLOBAL)
include(VelmarBuild)

set(VELMAR_TEST_TIMEOUT 300 CACHE STRING "Default timeout of a test, in seconds")
set(VELMAR_DISPLAY_TEST_TIMEOUT 60 CACHE STRING "Default timeout of a test that needs a display, in seconds")

# GoogleTest natively from Debian's prebuilt library; for Windows built from
# Debian's sources with the cross compiler, only when a test needs it.
function(_velmar_find_googletest)
  if(CMAKE_CROSSCOMPILING)
    set(BUILD_GMOCK OFF)
    set(INSTALL_GTEST OFF)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  else()
    find_package(GTest REQUIRED)
  endif()
endfunction()
_velmar_find_googletest()

# Timeout, labels and display handling shared by both kinds of test.
function(_velmar_test_properties test needs_display timeout labels)
  if(needs_display)
    list(APPEND labels display)
    if(NOT timeout)
      set(timeout ${VELMAR_DISPLAY_TEST_TIMEOUT})
    endif()
    set_tests_properties(${test} PROPERTIES RESOURCE_LOCK velmar_display)
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT VELMAR_NEEDS_DISPLAY=1)
  elseif(NOT timeout)
    set(timeout ${VELMAR_TEST_TIMEOUT})
  endif()
  set_tests_properties(${test} PROPERTIES TIMEOUT ${timeout})
  if(labels)
    set_tests_properties(${test} PROPERTIES LABELS "${labels}")
  endif()
endfunction()

function(velmar_add_gtest)
  cmake_parse_arguments(PARSE_ARGV 0 arg "NEEDS_DISPLAY;OWN_MAIN" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS")
  if(NOT arg_NAME OR NOT arg_SOURCES OR arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "velmar_add_gtest(NAME <target> SOURCES <file>... [LIBS ...] [NEEDS_DISPLAY] "
                        "[OWN_MAIN] [TIMEOUT s] [LABELS ...]): bad arguments '${ARGV}'")
  endif()
  set(gtest GTest::gtest_main)
  if(arg_OWN_MAIN)
    set(gtest GTest::gtest)
  endif()
  velmar_add_executable(${arg_NAME} SOURCES ${arg_SOURCES} LIBS ${arg_LIBS} ${gtest})
  # The emulator is put in front of the executable by add_test itself.
  add_test(NAME ${arg_NAME} COMMAND ${arg_NAME})
  _velmar_test_properties(${arg_NAME} "${arg_NEEDS_DISPLAY}" "${arg_TIMEOUT}" "${arg_LABELS}")
endfunction()

function(velmar_add_command_test)
  cmake_parse_arguments(PARSE_ARGV 0 arg "NEEDS_DISPLAY" "NAME;TIMEOUT;WORKING_DIRECTORY"
                        "COMMAND;ENVIRONMENT;LABELS")
  if(NOT arg_NAME OR NOT arg_COMMAND OR arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "velmar_add_command_test(NAME <name> COMMAND <program> [<arg>...] "
                        "[WORKING_DIRECTORY dir] [ENVIRONMENT VAR=value...] [NEEDS_DISPLAY] [TIMEOUT s] "
                        "[LABELS ...]): bad arguments '${ARGV}'")
  endif()
  if(arg_WORKING_DIRECTORY)
    add_test(NAME ${arg_NAME} COMMAND ${arg_COMMAND} WORKING_DIRECTORY ${arg_WORKING_DIRECTORY})
  else()
    add_test(NAME ${arg_NAME} COMMAND ${arg_COMMAND})
  endif()
  if(CMAKE_CROSSCOMPILING)
    set(emulator "${CMAKE_CROSSCOMPILING_EMULATOR}")
  else()
    set(emulator "")
  endif()
  set_property(TEST ${arg_NAME} PROPERTY ENVIRONMENT "VELMAR_EMULATOR=${emulator}" ${arg_ENVIRONMENT})
  _velmar_test_properties(${arg_NAME} "${arg_NEEDS_DISPLAY}" "${arg_TIMEOUT}" "${arg_LABELS}")
endfunction()
