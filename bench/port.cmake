km3_add_bench(bench_port SOURCES port_bench.cpp DEPENDS km3_port)
