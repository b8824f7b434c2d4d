km3_add_bench(bench_workflow SOURCES workflow_bench.cpp DEPENDS km3_workflow)
