# The chart's repaint: ten curves of 10,000 points into an 800 x 600 picture.
if(TARGET km3_chart)
  km3_add_bench(bench_chart SOURCES ${CMAKE_CURRENT_LIST_DIR}/chart_bench.cpp DEPENDS km3_chart)
endif()
