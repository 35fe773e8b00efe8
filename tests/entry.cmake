tessaline_test(command_line_test command_line_test.cpp)
tessaline_test(entry_test entry_test.cpp)
tessaline_test(exception_guard_test exception_guard_test.cpp)

# Runs a mode under the exception guard and faults; exception_guard_test starts it and reads its exit code.
add_executable(fault_under_guard fault_under_guard.cpp)
target_include_directories(fault_under_guard PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(fault_under_guard PRIVATE tessaline_windows)
add_dependencies(exception_guard_test fault_under_guard)
include(e2e/e2e.cmake)
