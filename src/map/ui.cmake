tolvex_ui_sources(map
  browser_bridge.cpp
  page_scheme_qt.cpp
  page_load_watchdog_qt.cpp
  web_profile_qt.cpp
)
