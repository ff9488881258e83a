# The real program under Xvfb, driven with xdotool (clicks, typing, real drags).
add_test(NAME e2e_pupil
         COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/e2e/e2e_pupil.py ${PROJECT_BINARY_DIR})
set_tests_properties(e2e_pupil PROPERTIES
  LABELS e2e
  TIMEOUT 2400
  RUN_SERIAL TRUE)

# The accessibility audit: the real program on the AT-SPI bus of a private D-Bus session, read
# through Debian's python3-pyatspi (so with Debian's own interpreter, where pyatspi lives).
find_program(QUORVANE_DEBIAN_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(NOT QUORVANE_DEBIAN_PYTHON)
  set(QUORVANE_DEBIAN_PYTHON python3)
endif()
add_test(NAME atspi_audit
         COMMAND dbus-run-session -- ${QUORVANE_DEBIAN_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/e2e/atspi_audit.py
                 ${PROJECT_BINARY_DIR})
set_tests_properties(atspi_audit PROPERTIES
  LABELS a11y
  TIMEOUT 300
  ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
