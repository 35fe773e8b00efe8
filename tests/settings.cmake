# The settings store, the settings dialog and the resources, under Wine with its real registry.
tessaline_test(settings_store_test settings_store_test.cpp)
tessaline_test(settings_dialog_test settings_dialog_test.cpp)
target_link_libraries(settings_dialog_test PRIVATE tessaline_resources)
tessaline_test(resources_test resources_test.cpp)
target_link_libraries(resources_test PRIVATE tessaline_resources)
