tessaline_test(command_line_test command_line_test.cpp)
tessaline_test(entry_test entry_test.cpp)
tessaline_test(command_line_random_test command_line_random_test.cpp)
# The same cases in the double-byte ANSI code page 932, which Wine takes from a Japanese Unix locale
# (tools/install-deps generates it).
wine_add_test(CommandLineRandom.JapaneseCodePage $<TARGET_FILE:command_line_random_test>
              --gtest_filter=CommandLineRandom.LeadBytes*:CommandLineRandom.ProgramName*)
set_tests_properties(${TESSALINE_TEST_LABEL}.CommandLineRandom.JapaneseCodePage PROPERTIES
  ENVIRONMENT "LANG=ja_JP.UTF-8;LC_ALL=ja_JP.UTF-8;TESSALINE_EXPECT_CODE_PAGE=932")
tessaline_test(exception_guard_test exception_guard_test.cpp)

# Runs a mode under the exception guard and faults; exception_guard_test starts it and reads its exit code.
add_executable(fault_under_guard fault_under_guard.cpp)
target_include_directories(fault_under_guard PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(fault_under_guard PRIVATE tessaline_windows)
add_dependencies(exception_guard_test fault_under_guard)
include(e2e/e2e.cmake)
