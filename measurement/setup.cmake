# The measurement set-up page: its logic, the software-configuration write, the add-on
# programs and the widget shell over its form.
list(APPEND KM3_MEASUREMENT_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/add_on_program.cpp
  ${CMAKE_CURRENT_LIST_DIR}/diagram_axes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_rate_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_setup_accept.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_setup_axes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_setup_load.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_setup_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_setup_rate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_setup_rows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_setup_sensor_data.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_setup_triggers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/measure_setup_widget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_controls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sensor_setup_fields.cpp
  ${CMAKE_CURRENT_LIST_DIR}/setup_numbers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/software_config_write.cpp
)
