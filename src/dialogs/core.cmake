tolvex_core_library(dialogs DEPENDS tolvex_base_core SOURCES
  config_rules.cpp
)
