# The measurement control panel: its logic (start, stop, triggers, poll, pass/fail, diagnostics),
# the channel scaling page and the widget shells over their forms.
list(APPEND KM3_MEASUREMENT_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/around_trigger_monitor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/channel_scaling_numbers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/channel_scaling_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/channel_scaling_widget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/control_state_to_widget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_control_diagnostics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_control_end.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_control_panel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_control_sensor_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_control_start_stop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_control_timers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_control_triggers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_control_widget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pass_fail_evaluation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trigger_evaluation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/zm_state_names.cpp
)
list(APPEND KM3_MEASUREMENT_DEPENDS km3_views km3_documentation km3_environment)
