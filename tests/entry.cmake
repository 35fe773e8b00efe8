# Until the saver window and the settings dialog are merged, their runs are skipped, not failed.
set(parts)
file(STRINGS ${CMAKE_SOURCE_DIR}/host/saver_window.cpp placeholder REGEX "Placeholder")
if(NOT placeholder)
  list(APPEND parts window)
endif()
if(TARGET tessaline_resources)
  list(APPEND parts dialog)
endif()
list(JOIN parts " " parts)

tessaline_test(command_line_test command_line_test.cpp)
tessaline_test(entry_test entry_test.cpp)
if(parts MATCHES window)
  target_compile_definitions(entry_test PRIVATE TESSALINE_SAVER_WINDOW_BUILT)
endif()
tessaline_test(exception_guard_test exception_guard_test.cpp)

# Runs a mode under the exception guard and faults; exception_guard_test starts it and reads its exit code.
add_executable(fault_under_guard fault_under_guard.cpp)
target_include_directories(fault_under_guard PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(fault_under_guard PRIVATE tessaline_windows)
add_dependencies(exception_guard_test fault_under_guard)
include(e2e/e2e.cmake)
