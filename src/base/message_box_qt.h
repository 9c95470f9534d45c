#pragma once
// A notice the pilot acknowledges with "Aceptar", captioned with the program's name, shown as
// plain text.
#include <QString>

class QWidget;

namespace tolvex {

void show_notice(QWidget* parent, const QString& text);

}  // namespace tolvex
