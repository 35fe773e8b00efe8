# tessaline_gl: OpenGL with GLU, fixed-function entry points only.
# On Windows the saver loads the system's OPENGL32.DLL and GLU32.DLL at run time, by their full paths
# (engine/gl_library.cpp), and imports neither: the library holds the functions it calls. The tests,
# which read pixels and state back, reach the rest of OpenGL through tessaline_test_gl, whose import
# library comes after ours on the link line, so that the saver's own functions are ours there too.
# The Linux build draws into a headless Mesa context (OSMesa); OSMesa comes first so that GLU's calls
# resolve to the same implementation.
if(WIN32)
  add_library(tessaline_gl STATIC ${CMAKE_SOURCE_DIR}/engine/gl_library.cpp ${CMAKE_SOURCE_DIR}/host/system_library.cpp)
  target_include_directories(tessaline_gl PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_options(tessaline_gl PRIVATE ${TESSALINE_PRODUCT_OPTIONS})
  add_library(tessaline_test_gl INTERFACE)
  target_link_libraries(tessaline_test_gl INTERFACE tessaline_gl opengl32)
else()
  add_library(tessaline_gl INTERFACE)
  find_library(OSMESA_LIBRARY OSMesa REQUIRED)
  find_library(GLU_LIBRARY GLU REQUIRED)
  target_link_libraries(tessaline_gl INTERFACE ${OSMESA_LIBRARY} ${GLU_LIBRARY})
endif()
