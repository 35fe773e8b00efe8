tessaline_test(host_state_test host_state_test.cpp)
tessaline_test(close_policy_test close_policy_test.cpp)
tessaline_test(saver_window_test saver_window_test.cpp)
target_link_libraries(saver_window_test PRIVATE imm32)
tessaline_test(saver_memory_test saver_memory_test.cpp support/test_window.cpp support/gl_test_context.cpp)

# The Windows 9x cases load a password provider of their own from the test program's directory.
stand_in_library(password_provider password_provider/password_provider.cpp password_provider/password_provider.def)
set_target_properties(password_provider PROPERTIES PREFIX "" OUTPUT_NAME "PASSWORD" SUFFIX ".CPL"
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
# And one without the verify entry, in a directory of its own.
add_library(password_provider_without_verify SHARED password_provider/without_verify.cpp)
set_target_properties(password_provider_without_verify PROPERTIES PREFIX "" OUTPUT_NAME "PASSWORD" SUFFIX ".CPL"
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/without_verify
                      ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/without_verify)
tessaline_test(password_hooks_test password_hooks_test.cpp)
add_dependencies(password_hooks_test password_provider password_provider_without_verify)
