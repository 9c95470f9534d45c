tolvex_ui_sources(map
  browser_bridge.cpp
  web_profile_qt.cpp
)
