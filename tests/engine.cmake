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
  tessaline_test(saver_procedure_test saver_procedure_test.cpp ${tessaline_gl_test_support})
endif()
if(NOT WIN32)
  # Drawing off: the counting OpenGL calls take the place of the library's in this program only.
  tessaline_test(long_run_test long_run_test.cpp support/counting_gl.cpp support/long_run.cpp
                 ${CMAKE_SOURCE_DIR}/bench/steady_field.cpp)
endif()
