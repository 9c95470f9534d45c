#pragma once
// The program's message boxes, captioned "Tolvex - Información": a notice the pilot acknowledges
// with "Aceptar", and a question answered with "Aceptar" or "Cancelar". The text is shown as
// plain text: it may quote a file, a page or a service.
#include <QString>

class QWidget;

namespace tolvex {

void show_notice(QWidget* parent, const QString& text);

// True when the pilot answers "Aceptar".
bool ask_confirmation(QWidget* parent, const QString& text);

}  // namespace tolvex
