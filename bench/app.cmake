# The start-up probe: from the command to a shown main window.
if(TARGET km3_app)
  add_executable(bench_app_startup ${CMAKE_CURRENT_LIST_DIR}/app_startup_probe.cpp)
  km3_target_options(bench_app_startup)
  target_link_libraries(bench_app_startup PRIVATE km3_app Qt6::Widgets)
endif()

# A benchmark of the whole application against simulated sensor programs.
function(km3_add_app_bench name source)
  add_executable(${name} ${CMAKE_CURRENT_LIST_DIR}/${source})
  km3_target_options(${name})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE KM3_SENSOR_SIM_PATH="$<TARGET_FILE:km3-sensor-sim>")
  target_link_libraries(${name} PRIVATE km3_app Qt6::Widgets Threads::Threads)
  add_dependencies(${name} km3-sensor-sim)
endfunction()

if(TARGET km3_app AND TARGET km3-sensor-sim)
  # Four simulated sensors at full rate.
  km3_add_app_bench(bench_app_ingest app_ingest_bench.cpp)
  # One sensor answering in small pieces, as an adapter delivers them.
  km3_add_app_bench(bench_app_split_answers app_split_answers_bench.cpp)
  # The start-up search and the connection page's Search, with silent ports ahead of the sensor.
  km3_add_app_bench(bench_app_search app_search_bench.cpp)
endif()

# The main frame built and destroyed again and again: the heap stays flat.
if(TARGET km3_app)
  add_executable(bench_app_frame_memory ${CMAKE_CURRENT_LIST_DIR}/app_frame_memory_bench.cpp)
  km3_target_options(bench_app_frame_memory)
  target_include_directories(bench_app_frame_memory PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(bench_app_frame_memory PRIVATE km3_app Qt6::Widgets)
endif()

# A 20-minute measurement through the whole application on virtual time: the CPU per minute.
if(TARGET km3_app AND TARGET km3-sensor-sim AND TARGET km3_workflow_testbench)
  km3_add_app_bench(bench_app_long_run app_long_run_bench.cpp)
  target_link_libraries(bench_app_long_run PRIVATE km3_workflow_testbench)
endif()
