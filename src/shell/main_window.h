#pragma once
#include <QMainWindow>

namespace tolvex {
class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow();
};
}  // namespace tolvex
