# The views' new-values entry: value sets into the curve store, and the repaints it asks for.
if(TARGET km3_views)
  km3_add_bench(bench_views SOURCES ${CMAKE_CURRENT_LIST_DIR}/views_bench.cpp DEPENDS km3_views)
endif()
