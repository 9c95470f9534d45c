tolvex_ui_sources(route
  route_editor_window.cpp
  route_editor_window_actions.cpp
  flight_plan_report_window.cpp
)
