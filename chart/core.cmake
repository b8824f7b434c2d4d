# The chart core: drawing context and devices, chart objects, axes, curves, the chart window
# with its interaction, printing, bitmaps and chart files.
list(APPEND KM3_CHART_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/axis_draw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/axis_scale.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chart_archive.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chart_hooks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/column_path.cpp
  ${CMAKE_CURRENT_LIST_DIR}/curve_layer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dcex.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dib.cpp
  ${CMAKE_CURRENT_LIST_DIR}/font_mapping.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mem_dc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/painter_device.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixel_lines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plane_geometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/recording_device.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rect_tracker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/trends.cpp
  ${CMAKE_CURRENT_LIST_DIR}/value_format.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xgraph.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xgraph_axis.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xgraph_data_serie.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xgraph_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xgraph_interaction.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xgraph_label.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xgraph_object.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xgraph_paint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xgraph_print.cpp
)
