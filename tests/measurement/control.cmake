# The measurement control panel and the channel scaling page.
km3_add_test(test_measure_control LABEL measurement
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/control_logic_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/control_panel_test.cpp
  DEPENDS km3_measurement km3_measurement_testbench
)
# The panel and the scaling page on the screen, and the panel in the real main frame.
if(TARGET km3_app)
  km3_add_test(test_measure_control_frame LABEL measurement NO_MAIN
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/control_widget_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/control_frame_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/control_end_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/multiport_frame_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/trigger_frame_test.cpp
    DEPENDS km3_app km3_measurement km3_measurement_testbench Qt6::Widgets Qt6::Test
  )
endif()
