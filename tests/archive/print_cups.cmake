# Printing through a private CUPS whose default printer is cups-pdf.
add_executable(qv_printreport ${CMAKE_CURRENT_LIST_DIR}/printreport_main.cpp)
target_link_libraries(qv_printreport PRIVATE quorvane_archive)
add_test(NAME print_cups
         COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/print_cups.sh $<TARGET_FILE:qv_printreport>)
set_tests_properties(print_cups PROPERTIES
  LABELS archive
  SKIP_RETURN_CODE 77
  TIMEOUT 180
  ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0")
