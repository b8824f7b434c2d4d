# The measurement control panel and the channel scaling page.
km3_add_test(test_measure_control LABEL measurement
  SOURCES
    ${PROJECT_SOURCE_DIR}/tests/workflow/sim_sensor_port.cpp
    ${PROJECT_SOURCE_DIR}/tests/workflow/workflow_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/control_bench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/control_logic_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/control_panel_test.cpp
  DEPENDS km3_measurement km3_sim
)
target_compile_definitions(test_measure_control PRIVATE QT_NO_KEYWORDS)
