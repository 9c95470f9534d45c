#include "shell/main_window.h"
namespace tolvex { MainWindow::MainWindow() {} }
