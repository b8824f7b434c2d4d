# The start-up probe: from the command to a shown main window.
if(TARGET km3_app)
  add_executable(bench_app_startup ${CMAKE_CURRENT_LIST_DIR}/app_startup_probe.cpp)
  km3_target_options(bench_app_startup)
  target_link_libraries(bench_app_startup PRIVATE km3_app Qt6::Widgets)
endif()

# The ingest benchmark: the whole application against four simulated sensors at full rate.
if(TARGET km3_app AND TARGET km3-sensor-sim)
  add_executable(bench_app_ingest ${CMAKE_CURRENT_LIST_DIR}/app_ingest_bench.cpp)
  km3_target_options(bench_app_ingest)
  target_include_directories(bench_app_ingest PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(bench_app_ingest PRIVATE KM3_SENSOR_SIM_PATH="$<TARGET_FILE:km3-sensor-sim>")
  target_link_libraries(bench_app_ingest PRIVATE km3_app Qt6::Widgets Threads::Threads)
  add_dependencies(bench_app_ingest km3-sensor-sim)
endif()

# The serial-line benchmark: the whole application against a sensor answering in small pieces.
if(TARGET km3_app AND TARGET km3-sensor-sim)
  add_executable(bench_app_serial_pieces ${CMAKE_CURRENT_LIST_DIR}/app_serial_pieces_bench.cpp)
  km3_target_options(bench_app_serial_pieces)
  target_include_directories(bench_app_serial_pieces PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(bench_app_serial_pieces PRIVATE KM3_SENSOR_SIM_PATH="$<TARGET_FILE:km3-sensor-sim>")
  target_link_libraries(bench_app_serial_pieces PRIVATE km3_app Qt6::Widgets Threads::Threads)
  add_dependencies(bench_app_serial_pieces km3-sensor-sim)
endif()
