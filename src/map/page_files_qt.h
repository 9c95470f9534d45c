#pragma once
// File addresses for the pages, built the one way that is right on every platform: a Windows
// folder "C:/Tolvex/" must give "file:///C:/Tolvex/...", never a host named "C".
#include <QUrl>

#include <string>

namespace tolvex {

// The file address of a local file.
QUrl local_file_url(const std::string& path);

// The file address of a local folder, ending in '/', for page_base_element.
std::string folder_url(const std::string& folder);

}  // namespace tolvex
