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
  // No background traffic from the browser engine: tests never touch the network.
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
          "--disable-background-networking --disable-component-update --no-first-run --disable-gpu");
#ifdef TOLVEX_TEST_PROGRAM_DIR
  if (qEnvironmentVariableIsEmpty("TOLVEX_PROGRAM_DIR")) qputenv("TOLVEX_PROGRAM_DIR", TOLVEX_TEST_PROGRAM_DIR);
  if (qEnvironmentVariableIsEmpty("TOLVEX_SIMFEED")) qputenv("TOLVEX_SIMFEED", TOLVEX_TEST_SIMFEED);
  if (qEnvironmentVariableIsEmpty("TOLVEX_EXECUTABLE")) qputenv("TOLVEX_EXECUTABLE", TOLVEX_TEST_EXECUTABLE);
#endif
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  tolvex::TolvexApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
