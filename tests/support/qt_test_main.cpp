// Test main for Qt tests: the program's own application object (so errors thrown in handlers
// reach its error handler), but none when only listing tests (discovery runs without a display).
#include <QtWebEngineCore/QWebEngineProfile>
#include <gtest/gtest.h>

#include <cstring>

#include "shell/tolvex_application.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
  qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  tolvex::TolvexApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
