# The set-up page's logic against the controller and simulated sensors under virtual time.
km3_add_test(test_measure_setup LABEL measurement
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/setup_load_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup_write_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup_rate_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup_trigger_test.cpp
  DEPENDS km3_measurement km3_measurement_testbench
)

# The widget shell, offscreen.
km3_add_test(test_measure_setup_widget LABEL measurement NO_MAIN
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/setup_widget_test.cpp
  DEPENDS km3_measurement km3_measurement_testbench Qt6::Test
)

# The page in the real main frame: its configuration write and the shared display tables.
if(TARGET km3_app)
  km3_add_test(test_measure_setup_frame LABEL measurement NO_MAIN
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/setup_frame_test.cpp
    DEPENDS km3_app km3_measurement km3_measurement_testbench Qt6::Widgets
  )
endif()
