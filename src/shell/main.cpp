#include <QApplication>
#include "shell/main_window.h"
int main(int argc, char** argv) { QApplication app(argc, argv); tolvex::MainWindow w; w.show(); return app.exec(); }
