# The start-up probe: from the command to a shown main window.
if(TARGET km3_app)
  add_executable(bench_app_startup ${CMAKE_CURRENT_LIST_DIR}/app_startup_probe.cpp)
  km3_target_options(bench_app_startup)
  target_link_libraries(bench_app_startup PRIVATE km3_app Qt6::Widgets)
endif()
