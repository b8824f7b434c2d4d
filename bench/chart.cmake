# The chart's repaints at 800 x 600: full, live growth, large curves and a cursor move.
if(TARGET km3_chart)
  km3_add_bench(bench_chart SOURCES ${CMAKE_CURRENT_LIST_DIR}/chart_bench.cpp DEPENDS km3_chart)
endif()
