# The release of the package target (build it first: test.sh does), as a Windows user gets it. The
# setup program is 32-bit, so only the win32 tree has these.
set(tessaline_release_environment
  TESSALINE_RELEASE=${TESSALINE_RELEASE_DIR} TESSALINE_VERSION=${PROJECT_VERSION})

add_test(NAME win32.Release.Files COMMAND ${Python3_EXECUTABLE} -m unittest -v release_test.ReleaseFiles
         WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/release)
set_tests_properties(win32.Release.Files PROPERTIES LABELS win32 TIMEOUT 60
                     ENVIRONMENT "${tessaline_release_environment}")

# The setup program under Wine's 32-bit loader in the tree's 64-bit prefix, as on 64-bit Windows; the
# release command, to sign a release elsewhere; the loader check's prefix, which the rights case links.
wine_add_screen_test(Release.Installer ${Python3_EXECUTABLE} -m unittest -v release_test.Installer)
set_tests_properties(win32.Release.Installer PROPERTIES WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/release
  TIMEOUT 300 ENVIRONMENT "${tessaline_release_environment};TESSALINE_PROBE=$<TARGET_FILE:saver_probe>;TESSALINE_MAKE_RELEASE=${CMAKE_BINARY_DIR}/package/make-release;TESSALINE_PREFIX_TEMPLATE=${tessaline_check_prefix}")

# Builds the product and the package once more in a temporary directory: a minute or two.
add_test(NAME win32.Release.Reproducible COMMAND ${Python3_EXECUTABLE} -m unittest -v release_test.Reproducible
         WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/release)
set_tests_properties(win32.Release.Reproducible PROPERTIES LABELS win32 TIMEOUT 600
  ENVIRONMENT "${tessaline_release_environment};TESSALINE_SOURCE=${CMAKE_SOURCE_DIR};TESSALINE_BUILD_TYPE=${CMAKE_BUILD_TYPE};TESSALINE_MINGW_SOURCE=${TESSALINE_MINGW_SOURCE}")
