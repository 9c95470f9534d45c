tolvex_ui_sources(route
  route_editor.cpp
  route_editor_actions.cpp
  flight_plan_report.cpp
)
