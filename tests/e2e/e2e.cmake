# End-to-end tests: the real tessaline.scr started under wine64 on the test session's display.
add_executable(saver_probe e2e/saver_probe.cpp)
target_include_directories(saver_probe PRIVATE ${CMAKE_SOURCE_DIR})
add_library(test_mpr SHARED e2e/test_mpr.cpp)
set_target_properties(test_mpr PROPERTIES OUTPUT_NAME mpr PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/e2e)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
# e2e_test(<name> <python module>): one unittest module against the real saver, on the Wine session.
function(e2e_test name module)
  add_test(NAME wine.e2e.${name}
    COMMAND ${Python3_EXECUTABLE} -m unittest -v ${module}
    WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
  set_tests_properties(wine.e2e.${name} PROPERTIES
    LABELS wine RESOURCE_LOCK wine TIMEOUT 300
    ENVIRONMENT "TESSALINE_SCR=$<TARGET_FILE:tessaline_scr>;TESSALINE_PROBE=$<TARGET_FILE:saver_probe>;TESSALINE_MPR=$<TARGET_FILE:test_mpr>;WINE=/usr/lib/wine/wine64")
endfunction()

e2e_test(SaverModes saver_modes_test)
e2e_test(BadSettings bad_settings_test)
