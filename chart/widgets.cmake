# The chart's widgets: colour picker, sliders, property pages and the property sheet.
list(APPEND KM3_CHART_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/chart_texts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/common_dialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/colour_table.cpp
  ${CMAKE_CURRENT_LIST_DIR}/colour_popup_logic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/colour_popup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/colour_button.cpp
)
list(APPEND KM3_CHART_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/range_slider_model.cpp
  ${CMAKE_CURRENT_LIST_DIR}/range_slider.cpp
  ${CMAKE_CURRENT_LIST_DIR}/nice_slider.cpp
)
