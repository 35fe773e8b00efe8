# The i686 saver runs on a 486DX. Debian builds the MinGW-w64 runtime for the Pentium Pro, so the
# members of it that the saver links are rebuilt for the 486 (tools/runtime-486) from Debian's source
# package of the installed runtime, which tools/install-deps fetches: once, into the build tree.
set(TESSALINE_MINGW_SOURCE ${CMAKE_SOURCE_DIR}/build/sources/mingw-w64 CACHE PATH
    "Debian's source package of the installed MinGW-w64 runtime (tools/install-deps fetches it)")
if(NOT EXISTS ${TESSALINE_MINGW_SOURCE}/debian/changelog)
  message(FATAL_ERROR "No MinGW-w64 runtime sources in ${TESSALINE_MINGW_SOURCE}: run tools/install-deps")
endif()

set(tessaline_runtime_486_dir ${CMAKE_BINARY_DIR}/runtime-486)
set(tessaline_runtime_486 crt2.o libmingw32.a libmingwex.a)
list(TRANSFORM tessaline_runtime_486 PREPEND ${tessaline_runtime_486_dir}/)
set(tessaline_runtime_sources crt/crtexe.c crt/pesect.c crt/pseudo-reloc.c math/sqrt.c)
list(TRANSFORM tessaline_runtime_sources PREPEND ${TESSALINE_MINGW_SOURCE}/mingw-w64-crt/)
add_custom_command(OUTPUT ${tessaline_runtime_486}
  COMMAND ${CMAKE_SOURCE_DIR}/tools/runtime-486 ${CMAKE_C_COMPILER} ${CMAKE_AR} ${CMAKE_OBJDUMP}
          ${TESSALINE_MINGW_SOURCE} ${tessaline_runtime_486_dir}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/runtime-486 ${tessaline_runtime_sources}
          ${TESSALINE_MINGW_SOURCE}/debian/changelog
  COMMENT "Rebuilding the MinGW-w64 runtime members that the saver links for the 486"
  VERBATIM)
add_custom_target(tessaline_runtime_486 DEPENDS ${tessaline_runtime_486})

# The target links the rebuilt start-up code and archives in place of the installed ones: the driver
# looks for its start files and libraries under a -B prefix first.
function(tessaline_link_runtime_486 target)
  add_dependencies(${target} tessaline_runtime_486)
  target_link_options(${target} PRIVATE -B${tessaline_runtime_486_dir}/)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${tessaline_runtime_486})
endfunction()
