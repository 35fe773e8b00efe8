# End-to-end tests: the real tessaline.scr started under wine64 on the test session's display.
add_executable(saver_probe e2e/saver_probe.cpp)
target_include_directories(saver_probe PRIVATE ${CMAKE_SOURCE_DIR})
add_library(test_mpr SHARED e2e/test_mpr.cpp)
set_target_properties(test_mpr PROPERTIES OUTPUT_NAME mpr PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/e2e)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME wine.e2e.SaverModes
  COMMAND ${Python3_EXECUTABLE} -m unittest -v saver_modes_test
  WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
set_tests_properties(wine.e2e.SaverModes PROPERTIES
  LABELS wine RESOURCE_LOCK wine TIMEOUT 300
  ENVIRONMENT "TESSALINE_SCR=$<TARGET_FILE:tessaline_scr>;TESSALINE_PROBE=$<TARGET_FILE:saver_probe>;TESSALINE_MPR=$<TARGET_FILE:test_mpr>;WINE=/usr/lib/wine/wine64")

add_test(NAME wine.e2e.BadSettings
  COMMAND ${Python3_EXECUTABLE} -m unittest -v bad_settings_test
  WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
set_tests_properties(wine.e2e.BadSettings PROPERTIES
  LABELS wine RESOURCE_LOCK wine TIMEOUT 300
  ENVIRONMENT "TESSALINE_SCR=$<TARGET_FILE:tessaline_scr>;TESSALINE_PROBE=$<TARGET_FILE:saver_probe>;WINE=/usr/lib/wine/wine64")
