# tessaline_gl: OpenGL with GLU, fixed-function entry points only.
# Windows links the system's opengl32 and glu32. The Linux build draws into a headless Mesa context
# (OSMesa); OSMesa comes first so that GLU's calls resolve to the same implementation.
add_library(tessaline_gl INTERFACE)
if(WIN32)
  target_link_libraries(tessaline_gl INTERFACE opengl32 glu32)
else()
  find_library(OSMESA_LIBRARY OSMesa REQUIRED)
  find_library(GLU_LIBRARY GLU REQUIRED)
  target_link_libraries(tessaline_gl INTERFACE ${OSMESA_LIBRARY} ${GLU_LIBRARY})
endif()
