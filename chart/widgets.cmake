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
list(APPEND KM3_CHART_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ole_date.cpp
  ${CMAKE_CURRENT_LIST_DIR}/property_page_logic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/property_list_items.cpp
  ${CMAKE_CURRENT_LIST_DIR}/property_pages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chart_page.cpp
)
