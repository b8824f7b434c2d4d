# Value sets through the trigger evaluation and the pass/fail evaluation.
if(TARGET km3_measurement)
  km3_add_bench(bench_measurement_control SOURCES ${CMAKE_CURRENT_LIST_DIR}/measurement_control_bench.cpp
    DEPENDS km3_measurement)
endif()
