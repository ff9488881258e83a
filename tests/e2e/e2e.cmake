# The real program under Xvfb, driven with xdotool (clicks, typing, real drags).
add_test(NAME e2e_pupil
         COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/e2e/e2e_pupil.py ${PROJECT_BINARY_DIR})
set_tests_properties(e2e_pupil PROPERTIES
  LABELS e2e
  TIMEOUT 2400
  RUN_SERIAL TRUE)
