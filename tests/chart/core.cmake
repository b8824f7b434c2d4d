# Tests of the chart core; one executable with its own main (a QApplication, offscreen).
km3_add_test(test_chart_core LABEL chart NO_MAIN
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/core_main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/drawing_context_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/axis_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/data_serie_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/chart_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/chart_window_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/input_events_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/print_bitmap_test.cpp
  DEPENDS km3_chart Qt6::Test
)
