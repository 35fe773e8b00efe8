# End-to-end tests: the real tessaline.scr of this tree, started under Wine on its test session's display.
add_executable(saver_probe e2e/saver_probe.cpp)
target_include_directories(saver_probe PRIVATE ${CMAKE_SOURCE_DIR})
stand_in_library(test_mpr e2e/test_mpr.cpp e2e/test_mpr.def)
set_target_properties(test_mpr PROPERTIES OUTPUT_NAME mpr PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/e2e)
# An OPENGL32.DLL whose frame call faults, for the fault's own test.
stand_in_library(test_opengl e2e/test_opengl.cpp e2e/test_opengl.def)
set_target_properties(test_opengl PROPERTIES OUTPUT_NAME opengl32 PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/e2e
                      ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/e2e)
target_link_libraries(test_opengl PRIVATE user32)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
# e2e_test(<name> <arguments for Python>...): a test script against the real saver, in the tree's session.
function(e2e_test name)
  wine_add_screen_test(e2e.${name} ${Python3_EXECUTABLE} ${ARGN})
  set_tests_properties(${TESSALINE_TEST_LABEL}.e2e.${name} PROPERTIES
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/e2e TIMEOUT 300
    ENVIRONMENT "TESSALINE_SCR=$<TARGET_FILE:tessaline_scr>;TESSALINE_PROBE=$<TARGET_FILE:saver_probe>;TESSALINE_MPR=$<TARGET_FILE:test_mpr>;TESSALINE_WINMM=$<TARGET_FILE:test_winmm>;TESSALINE_OPENGL=$<TARGET_FILE:test_opengl>;TESSALINE_PASSWORD=$<TARGET_FILE:password_provider>")
endfunction()

e2e_test(SaverModes -m unittest -v saver_modes_test)
e2e_test(BadSettings -m unittest -v bad_settings_test)
# Reports itself skipped where no X server with two monitors can be made. It starts an X server of
# its own, so the two builds' runs of it take turns.
e2e_test(TwoMonitors two_monitors_test.py -v)
set_tests_properties(${TESSALINE_TEST_LABEL}.e2e.TwoMonitors PROPERTIES
  RESOURCE_LOCK "wine-${TESSALINE_TEST_LABEL}-screen;two-monitors")
