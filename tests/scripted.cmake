
# Installation: installs this build tree into a scratch prefix, runs the installed launcher in a
# scratch home, and builds and reads the Debian package. Needs the whole build (ALL) done.
add_test(NAME packaging_test
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/ui/packaging_test.sh ${PROJECT_BINARY_DIR})
set_tests_properties(packaging_test PROPERTIES
  LABELS packaging
  TIMEOUT 300
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0")

