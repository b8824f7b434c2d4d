# Tests of the chart's widgets; they bring their own main with a QApplication.
km3_add_test(test_chart_widgets LABEL chart NO_MAIN
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/widgets_main.cpp
    ${CMAKE_CURRENT_LIST_DIR}/colour_picker_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/slider_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/property_pages_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialog_test.cpp
  DEPENDS km3_chart Qt6::Test
)
