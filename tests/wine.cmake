# The Windows tests run under Wine, through tools/wine-run, in the test session of this build tree.

# Whether this machine runs the tree's programs at all, and in time: the loader must start a console
# program built here within a time limit. Some kernels execute no 32-bit code, and a slow emulator
# starts the loader but runs no program in time. Where it fails, every case is still listed, and
# tools/wine-run reports each one as skipped with the reason written here.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(tessaline_wine_loader /usr/lib/wine/wine)
else()
  set(tessaline_wine_loader /usr/lib/wine/wine64)
endif()
set(tessaline_loader_probe ${CMAKE_BINARY_DIR}/loader_probe.exe)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -static -O1 ${CMAKE_CURRENT_SOURCE_DIR}/support/loader_probe.cpp
                        -o ${tessaline_loader_probe} RESULT_VARIABLE tessaline_probe_built)
if(NOT tessaline_probe_built EQUAL 0)
  message(FATAL_ERROR "The loader check's console program did not build")
endif()
# The check's prefix, kept beside the trees, serves both of them.
get_filename_component(tessaline_check_prefix ${CMAKE_BINARY_DIR}/../loader-check-prefix ABSOLUTE)
execute_process(COMMAND ${CMAKE_COMMAND} -E env WINEPREFIX=${tessaline_check_prefix}
                        ${CMAKE_SOURCE_DIR}/tools/wine-run --check ${tessaline_wine_loader} ${tessaline_loader_probe}
  RESULT_VARIABLE tessaline_wine_result OUTPUT_VARIABLE tessaline_wine_says OUTPUT_STRIP_TRAILING_WHITESPACE)
if(tessaline_wine_result EQUAL 0)
  set(TESSALINE_WINE_UNAVAILABLE "")
  file(REMOVE ${CMAKE_BINARY_DIR}/wine-unavailable.txt)
  file(WRITE ${CMAKE_BINARY_DIR}/wine-loader.txt "${tessaline_wine_says}\n")
else()
  set(TESSALINE_WINE_UNAVAILABLE "${tessaline_wine_says}")
  file(REMOVE ${CMAKE_BINARY_DIR}/wine-loader.txt)
  file(WRITE ${CMAKE_BINARY_DIR}/wine-unavailable.txt "${tessaline_wine_says}\n")
  message(STATUS "The ${TESSALINE_TEST_LABEL} tests will be skipped: ${tessaline_wine_says}")
endif()

# A tree's cases share one display, registry and cursor, its session, and run one at a time there,
# beside the other tree's. The end-to-end runs, which look at the whole screen and send real input,
# have a second session of the tree to themselves and run beside its other cases.
set(TESSALINE_WINE_TEST_PROPERTIES
  LABELS ${TESSALINE_TEST_LABEL} TIMEOUT 120 RESOURCE_LOCK wine-${TESSALINE_TEST_LABEL} SKIP_RETURN_CODE 77)
set(TESSALINE_SCREEN_TEST_PROPERTIES
  LABELS ${TESSALINE_TEST_LABEL} TIMEOUT 120 RESOURCE_LOCK wine-${TESSALINE_TEST_LABEL}-screen SKIP_RETURN_CODE 77)

# wine_add_gtest(<target>): each case of a GoogleTest program a ctest test named <label>.<suite>.<case>.
function(wine_add_gtest target)
  set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/tools/wine-run;--test")
  if(TESSALINE_WINE_UNAVAILABLE STREQUAL "")
    gtest_discover_tests(${target}
      TEST_PREFIX "${TESSALINE_TEST_LABEL}."
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 60
      PROPERTIES ${TESSALINE_WINE_TEST_PROPERTIES})
  else()
    # The program cannot list its cases here; its sources name them.
    get_target_property(sources ${target} SOURCES)
    gtest_add_tests(TARGET ${target} SOURCES ${sources} TEST_PREFIX "${TESSALINE_TEST_LABEL}."
                    TEST_LIST cases)
    set_tests_properties(${cases} PROPERTIES ${TESSALINE_WINE_TEST_PROPERTIES})
  endif()
endfunction()

# wine_add_test(<name> <command>...): a test named <label>.<name> that runs a command or a Windows
# program of this tree in its session.
function(wine_add_test name)
  add_test(NAME ${TESSALINE_TEST_LABEL}.${name}
           COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-run --session ${CMAKE_BINARY_DIR} ${ARGN})
  set_tests_properties(${TESSALINE_TEST_LABEL}.${name} PROPERTIES ${TESSALINE_WINE_TEST_PROPERTIES})
endfunction()

# wine_add_screen_test(<name> <command>...): the same in the tree's screen session.
function(wine_add_screen_test name)
  add_test(NAME ${TESSALINE_TEST_LABEL}.${name}
           COMMAND ${CMAKE_COMMAND} -E env TESSALINE_SESSION=screen
                   ${CMAKE_SOURCE_DIR}/tools/wine-run --session ${CMAKE_BINARY_DIR} ${ARGN})
  set_tests_properties(${TESSALINE_TEST_LABEL}.${name} PROPERTIES ${TESSALINE_SCREEN_TEST_PROPERTIES})
endfunction()

# stand_in_library(<target> <sources> <.def>): a DLL that takes the place of a system library in the
# tests. The .def names its exports undecorated, as the system's own DLLs export them; on i686 the
# linker then binds each name to its stdcall symbol (VerifyScreenSavePwd to _VerifyScreenSavePwd@4).
function(stand_in_library target)
  add_library(${target} SHARED ${ARGN})
  target_link_options(${target} PRIVATE -Wl,--enable-stdcall-fixup)
endfunction()
