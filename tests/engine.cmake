# Portable OpenGL tests draw into OSMesa natively and into a real WGL window under Wine.
set(tessaline_gl_test_support support/gl_test_context.cpp)
if(WIN32)
  list(APPEND tessaline_gl_test_support support/test_window.cpp)
endif()

tessaline_test(color_palette_test color_palette_test.cpp)
tessaline_test(color_scheme_test color_scheme_test.cpp)
tessaline_test(seed_test seed_test.cpp)
tessaline_test(frame_step_test frame_step_test.cpp ${tessaline_gl_test_support})
tessaline_test(frame_reference_test frame_reference_test.cpp ${tessaline_gl_test_support})
tessaline_test(view_test view_test.cpp ${tessaline_gl_test_support})
if(WIN32)
  # A "WINMM.DLL" of the tests' own that records the timer-resolution calls, in a directory of its own.
  stand_in_library(test_winmm winmm/test_winmm.cpp winmm/test_winmm.def)
  set_target_properties(test_winmm PROPERTIES OUTPUT_NAME winmm PREFIX ""
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/winmm
                        ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/winmm)
  tessaline_test(saver_procedure_test saver_procedure_test.cpp ${tessaline_gl_test_support})
  add_dependencies(saver_procedure_test test_winmm)
endif()
if(NOT WIN32)
  # Drawing off: the counting OpenGL calls take the place of the library's in this program only.
  tessaline_test(long_run_test long_run_test.cpp support/counting_gl.cpp support/long_run.cpp
                 ${CMAKE_SOURCE_DIR}/bench/steady_field.cpp)
endif()
