# The settings store, the settings dialog and the resources, under Wine with its real registry.
tessaline_test(settings_store_test settings_store_test.cpp)
tessaline_test(settings_dialog_test settings_dialog_test.cpp)
target_link_libraries(settings_dialog_test PRIVATE tessaline_resources)
tessaline_test(resources_test resources_test.cpp)
target_link_libraries(resources_test PRIVATE tessaline_resources version)
target_compile_definitions(resources_test PRIVATE TESSALINE_EXPECTED_VERSION="${PROJECT_VERSION}")

# A picture of the dialog on the test display, saved into the build tree.
add_executable(show_settings_dialog show_settings_dialog.cpp)
target_include_directories(show_settings_dialog PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(show_settings_dialog PRIVATE tessaline_windows tessaline_resources)
wine_add_test(SettingsDialog.Screenshot ${CMAKE_SOURCE_DIR}/tools/settings-screenshot.sh
              $<TARGET_FILE:show_settings_dialog> ${CMAKE_BINARY_DIR}/settings-dialog.png)
set_tests_properties(${TESSALINE_TEST_LABEL}.SettingsDialog.Screenshot PROPERTIES TIMEOUT 60)
