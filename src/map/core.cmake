tolvex_core_library(map DEPENDS tolvex_base_core tolvex_pages_core SOURCES
  colour_table.cpp
  script_escape.cpp
  map_page_builder.cpp
  view_statements.cpp
  page_files.cpp
)
